// The checks of the dialog's OK: orders, sampling and dead time, then each
// method parameter against its limits. Each finding is an error (refused) or
// a question (refused unless Yes); the dialog shows it, puts the focus on
// its field and stays open.
#ifndef KYT_KYTIDENT_IDENTCHECKS_H
#define KYT_KYTIDENT_IDENTCHECKS_H

#include "IdentBlockData.h"
#include "IdentMessage.h"

#include <string>

enum IdentField {
    IDENT_FIELD_NONE,
    IDENT_FIELD_NUM_DEG,
    IDENT_FIELD_DEN_DEG,
    IDENT_FIELD_SAMPLE,
    IDENT_FIELD_DEAD,
    IDENT_FIELD_PARAMETER  // the row of IdentFinding::parameter
};

struct IdentFinding {
    bool found = false;
    IdentMessage message;
    IdentField field = IDENT_FIELD_NONE;
    int parameter = -1;
    // The check that found it; the search goes on behind it after a Yes.
    int check = 0;
};

// The first finding of the checks from check `from` on; found is false when
// all of them pass.
IdentFinding findIdentProblem(const IdentBlockData& doc, int from = 0);

// Applies the user's answer (Yes for a question; false for an error box).
// True when the checks go on behind the finding. The dead-time question
// answered Yes corrects the dead time to a multiple of the sampling time and
// still keeps the dialog open, so that the user sees the new value.
bool applyIdentAnswer(IdentBlockData* doc, const IdentFinding& finding, bool yes);

// Runs the checks in order, showing each finding through ask and applying
// the answer; the finding that keeps the dialog open, or one that was not
// found when everything passed.
IdentFinding checkIdentData(IdentBlockData* doc, const IdentAsk& ask);

enum IdentConfirmResult {
    IDENT_CONFIRM_STAY,     // a check refused: the dialog stays open (stop says where)
    IDENT_CONFIRM_WRITTEN,  // the block file was written: exit code 0
    IDENT_CONFIRM_FAILED    // it could not be written (26988 shown): the dialog ends, the code stays -1
};

// The OK of the dialog after its fields were read into doc: the checks, then
// the block file with date in its head.
IdentConfirmResult confirmIdentData(IdentBlockData* doc, const IdentAsk& ask, const std::string& date,
                                    IdentFinding* stop);

#endif
