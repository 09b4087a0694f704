// The file and clip-file commands of the main window on the circuit model,
// without windows: Save and Save as once the name is settled, Save
// fragment, and the editor's own clipboard through kytclip.tmp and
// kytdup.tmp in the temporary directory. Every file is written through a
// checked write and rename; a file that could not be written changes
// nothing and is reported.
#ifndef KYT_APP_MAINCIRCUITCOMMANDS_H
#define KYT_APP_MAINCIRCUITCOMMANDS_H

#include "String.h"

class CircuitModel;
class Workspace;

// The whole circuit into path. On success the pane counts as unchanged, the
// main title shows path, its directory becomes the circuit directory and it
// heads the recent files: 1. Otherwise warning 19200 with the name, the old
// file and the changed state stay: 0. A circuit that was loaded without
// some of its embedded blocks is not written over the file it came from
// (warning 19445): 0.
int saveWholeCircuit(CircuitModel& model, Workspace& workspace, const char* path);

// Only the marked objects into path (Save fragment); 0 and warning 19200
// when it could not be written.
int saveMarkedObjects(CircuitModel& model, const char* path);

// TEMPDIR, a backslash and the name.
String clipFilePath(const char* name);

// 2001: the marked objects into kytclip.tmp. When it cannot be written:
// 19201 with TEMPDIR at error level, nothing copied; 0.
int copyToClipFile(CircuitModel& model);
// 2000: as copyToClipFile; only after the clip file was written and closed
// without error are the marked objects and their connections removed.
int cutToClipFile(CircuitModel& model);
// 2002: unmarks everything and adds kytclip.tmp's objects (marked) to the
// circuit; without a clip file nothing happens and nothing is shown. 1 when
// something was read.
int pasteFromClipFile(CircuitModel& model);
// 1100: the marked objects into kytdup.tmp and back as marked copies, then
// "empty" into kytdup.tmp. When kytdup.tmp cannot be written: 19201 with
// TEMPDIR at error level and nothing duplicated; 0.
int duplicateMarked(CircuitModel& model);

// 1118: the newest deletion comes back. A connection is made anew between
// the same ends and gets the old one's interpoints in their order; a block
// goes back to the end of the circuit. A block of library "Local" whose file
// is still there is entered in the library again (its entry went with the
// deletion); 22011 only when its file is gone. 0 when there was nothing to
// undo.
int undoDeletion(CircuitModel& model);

#endif
