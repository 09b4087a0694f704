// The parser of the model language, as the run command calls it:
//
//     kytfil = <the translated circuit, opened in text mode>;
//     if (scanreset()) ... report 20802, nothing is compiled
//     enableMessageLog();
//     if (yyparse()) { freeRegisteredPointers(); freeSymbolTables(); ... failed }
//     disableMessageLog();
//     ... back end on the symbol tables, then freeSymbolTables()
#ifndef KYT_COMPILER_PARSER_H
#define KYT_COMPILER_PARSER_H

#include "AllocationRegistry.h"
#include "Scanner.h"
#include "SymbolTables.h"

// Parses kytfil into the symbol tables: 0 when the whole text was accepted
// without any compiler message; 1 after a syntax error (with the list of
// expected tokens), a parse-stack overflow ("yacc stack overflow") or any
// compiler message. Every message has been shown through the message log.
int yyparse();

#endif
