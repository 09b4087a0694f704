// The scroll-bar state of a window and the scrollers that move a pane's
// contents. The arithmetic lives in the portable core; the window side
// answers its ScrollPane and ScrollBarOwner questions (PaneWindowCL, WindowCL).
#ifndef KYT_FRAMEWORK_SCROLL_H
#define KYT_FRAMEWORK_SCROLL_H

#include "Scrollers.h"

#endif
