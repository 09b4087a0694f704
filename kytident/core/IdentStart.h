// The start of kytident up to its dialog: the command line of the wizard
// hand-over, the block file, HELPDIR of kyt.ini and the help-file probe.
// The program switches the error reporter to the companions' form before.
#ifndef KYT_KYTIDENT_IDENTSTART_H
#define KYT_KYTIDENT_IDENTSTART_H

#include "IdentBlockData.h"
#include "IdentMessage.h"

#include <string>

// Exit codes of the hand-over.
const int kIdentExitWritten = 0;
const int kIdentExitNothing = 1;
const int kIdentExitFailed = -1;

// True when the dialog is to be shown on doc; otherwise the program ends
// with *exitCode: -1 after a wrong command line (26985), 1 when the user
// kept a block file that is not the wizard's (nothing is written, so kyt
// changes nothing). A missing kyt.ini is reported (26709, level 2) and the
// help is looked for in startDir; a missing help file is told (26986).
bool startIdentWizard(const std::string& commandLine, const std::string& startDir, IdentBlockData* doc,
                      const IdentAsk& ask, int* exitCode);

#endif
