// Names that a circuit or a block description gives for a file of its own
// (an embedded block, a block type, an icon) are taken as plain file names
// inside a directory of the installation. A circuit is input from anyone:
// a teacher opens what students send, scripts run what they are given.
#ifndef KYT_CIRCUITFILES_PLAINFILENAME_H
#define KYT_CIRCUITFILES_PLAINFILENAME_H

#include "strings/CircuitStrings.h"

// The name reaches no other directory and no device: not empty, no "/" or
// "\", no drive or stream colon, no control character, not made of dots
// only, and not a DOS device name (NUL, CON, AUX, PRN, COM0-9, LPT0-9 and
// with a superscript digit, CONIN$, CONOUT$, CLOCK$; any case, with or
// without an extension, with trailing blanks or dots).
bool isPlainFileName(const char* name);

// "Der Blockname ... ist kein einfacher Dateiname ..." with the name.
const unsigned int kResNotPlainBlockName = kStrBlockNameNotPlain;
// The same for an icon name.
const unsigned int kResNotPlainIconName = kStrIconNameNotPlain;

#endif
