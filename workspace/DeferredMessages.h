// Messages that cannot be shown at the moment they arise (a run-time library
// reporting from inside a simulation step) wait in one queue of the program;
// the posted command 9032 shows them from the main loop and lets the run go
// on. Help sections are cut from kythelp.txt in HELPDIR.
#ifndef KYT_WORKSPACE_DEFERREDMESSAGES_H
#define KYT_WORKSPACE_DEFERREDMESSAGES_H

#include "HelpText.h"
#include "String.h"

#include <functional>

const int kCommandShowDeferredMessages = 9032;

// Pauses the current run, appends (level, text) to the queue and posts 9032
// to the main frame.
void queueDeferredMessage(int level, const char* text);

// The main frame's command handler: 0 for any command but 9032. For 9032
// every queued message goes to the error reporter in queue order, its text
// shown as it stands; then the run goes on. A 9032 that arrives while the
// boxes are shown returns 1 at once.
int flushDeferredMessages(int commandId);

// Empties the queue (program exit).
void clearDeferredMessages();
int deferredMessageCount();

// The main frame's command poster (WM_COMMAND, no control). Null: none.
typedef std::function<void(int commandId)> CommandPoster;
void setDeferredCommandPoster(CommandPoster poster);

// The pause word of the current run object; null while there is none.
void setRunPauseWord(int* pauseWord);

// The section after the first line that holds marker as a whole word, up to
// the next line that holds "IDH_HELP_", each line ending "\r\n"; cut after
// the line that passes 16000 characters. Reports a missing file (18009),
// an empty section (19119), a read error (19120) and a long text (19121).
String loadHelpSection(const char* helpDir, const char* marker);
// The same in the workspace's HELPDIR.
String loadHelpSection(const char* marker);

#endif
