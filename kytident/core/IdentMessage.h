// The boxes through which the wizard's core talks to the user: the program
// shows them as message boxes, the tests answer them.
#ifndef KYT_KYTIDENT_IDENTMESSAGE_H
#define KYT_KYTIDENT_IDENTMESSAGE_H

#include "strings/KytidentStrings.h"

#include <functional>
#include <string>

// Captions.
const unsigned int kIdentTitle = kStrIdProgramTitle;
const unsigned int kIdentCaptionError = kStrIdErrorCaption;
const unsigned int kIdentCaptionWarning = kStrIdWarningCaption;
const unsigned int kIdentCaptionHelp = kStrIdHelpTitle;

// Messages of the start and of the block file.
const unsigned int kIdentIniMissing = kStrIdFileNotFound;
const unsigned int kIdentNotWizardBlock = kStrIdNotWizardBlock;
const unsigned int kIdentDamagedAsk = kStrIdBlockChangedAsk;
const unsigned int kIdentDamagedReplaced = kStrIdBlockChangedReplaced;
const unsigned int kIdentWrongCommandLine = kStrIdBadWizardCall;
const unsigned int kIdentHelpMissingAtStart = kStrIdNoHelpFile;
const unsigned int kIdentNotSaved = kStrIdDataNotSaved;
const unsigned int kIdentHelpMissing = kStrIdHelpFileNotOpened;
const unsigned int kIdentNoHelpSection = kStrIdNoMethodHelp;

enum IdentBoxKind {
    IDENT_BOX_ERROR,    // MB_ICONHAND
    IDENT_BOX_NOTICE,   // MB_ICONINFORMATION
    IDENT_BOX_QUESTION  // MB_YESNO | MB_ICONQUESTION
};

struct IdentMessage {
    IdentBoxKind kind = IDENT_BOX_ERROR;
    unsigned int textId = 0;  // the message (the first text of a composed one)
    unsigned int captionId = kIdentCaptionError;
    std::string text;         // what the box shows
};

// A message whose text is the string textId.
IdentMessage identMessage(IdentBoxKind kind, unsigned int textId, unsigned int captionId);

// Shows the box; true when a question was answered Yes.
typedef std::function<bool(const IdentMessage& message)> IdentAsk;

#endif
