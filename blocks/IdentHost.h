// The simulator services that the identification code uses: the first five
// entries of the table the simulator hands to a run-time library when it
// attaches it. The IDENT registration copies them here; the estimators and
// the library report through them.
#ifndef KYT_BLOCKS_IDENTHOST_H
#define KYT_BLOCKS_IDENTHOST_H

#include "ModuleDescriptor.h"

// Copies the five services the identification code uses: isCompiling,
// alwaysFalse, requestErrorStop, moduleMessage and stringConstant (null:
// back to the defaults, which show messages through the error reporter and
// ignore stop requests).
void setIdentHostServices(const HostServices* services);
const HostServices& identHostServices();

// The error key of the IDENT library.
extern const char* const kIdentErrorKey;

// Reports "%s : %s" with a function name and a string-table text at level 1
// and asks for the stop, as every argument error of the library does.
void identReportError(const char* function, unsigned int textId);

#endif
