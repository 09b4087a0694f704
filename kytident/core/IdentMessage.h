// The boxes through which the wizard's core talks to the user: the program
// shows them as message boxes, the tests answer them.
#ifndef KYT_KYTIDENT_IDENTMESSAGE_H
#define KYT_KYTIDENT_IDENTMESSAGE_H

#include <functional>
#include <string>

// Captions.
const unsigned int kIdentTitle = 26900;         // "KYTident 2.51"
const unsigned int kIdentCaptionError = 26961;  // "KYTident Fehler"
const unsigned int kIdentCaptionWarning = 26965;
const unsigned int kIdentCaptionHelp = 26979;   // "KYTident Hilfe"

// Messages of the start and of the block file.
const unsigned int kIdentIniMissing = 26709;
const unsigned int kIdentNotWizardBlock = 26982;
const unsigned int kIdentDamagedAsk = 26983;
const unsigned int kIdentDamagedReplaced = 26984;
const unsigned int kIdentWrongCommandLine = 26985;
const unsigned int kIdentHelpMissingAtStart = 26986;
const unsigned int kIdentNotSaved = 26988;
const unsigned int kIdentHelpMissing = 26978;
const unsigned int kIdentNoHelpSection = 26980;

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
