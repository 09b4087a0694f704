// The compiler's check of a call of a run-time library function or
// procedure against the rows of the run-time library catalog.
#ifndef KYT_COMPILER_MODULECALLCHECK_H
#define KYT_COMPILER_MODULECALLCHECK_H

#include "String.h"

struct SyntaxNode;

// call: a function call (13) or procedure call (12) node. 0 when a row of
// the right kind and signature exists (the node's entry becomes the row);
// 1 when no row has the name or the row is of the other kind; 2 when the
// parameters differ (actualSignature then names the row's parameters).
int checkModuleCall(SyntaxNode* call);

// The signature letters of an argument list: 's' for a string literal and
// for the name of a STRING parameter (which becomes its string-index form),
// 'd' for anything else, "" for no arguments.
String actualSignatureOf(SyntaxNode* arguments);

// The parameter words ("Zahl", "String", joined by ", ") of the row that the
// last failed check compared against.
const char* actualSignature();

#endif
