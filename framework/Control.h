// The standard controls, every family at once: the CtrlWindowCL base and
// the framework control procedure (CtrlWindow.h), buttons, statics and
// edits, list and combo boxes, scroll bars and controls of registered
// classes. Code that uses one family may include its header alone.
#ifndef KYT_FRAMEWORK_CONTROL_H
#define KYT_FRAMEWORK_CONTROL_H

#include "Buttons.h"
#include "CtrlWindow.h"
#include "CustomCtrl.h"
#include "ListControls.h"
#include "ScrollBars.h"
#include "TextControls.h"

#endif
