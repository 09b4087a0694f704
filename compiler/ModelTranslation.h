// The compiler's part of the run command: a model text is parsed, flattened,
// checked, ordered and written as PI text into the PI text buffer. Messages
// go through the compiler message log and the error reporter to the sinks
// the program (or test) has installed; nothing is shown here. Attaching the
// run-time libraries again and loading the PI text is the engine's, on the
// compile road above both (compileroad/CompileRoad.h).
#ifndef KYT_COMPILER_MODELTRANSLATION_H
#define KYT_COMPILER_MODELTRANSLATION_H

#include <cstdio>

enum TranslationOutcome {
    TRANSLATION_WRITTEN = 0,           // the PI text is in piTextBuffer
    TRANSLATION_NOT_STARTED = 1,       // scanreset refused (20802 shown)
    TRANSLATION_PARSE_FAILED = 2,      // yyparse gave a message or a syntax error
    TRANSLATION_GENERATION_FAILED = 3  // PiCodeGenerate gave a message or an algebraic loop
};

// On a stream the caller opened (and closes): scanreset, message log on,
// yyparse, message log off, PiCodeGenerate, freeGeneratedCode,
// freeSymbolTables. listingFile receives a copy of the PI text (null for
// none); writeSymbols non-zero writes the full symbol listing into
// kytsym.tmp in the temporary directory. Whatever the outcome, the symbol
// tables are free again; after any outcome but TRANSLATION_WRITTEN the PI
// text buffer is empty.
TranslationOutcome translateModelText(FILE* input, const char* listingFile, int writeSymbols);

// Whether the block file (one or more blocks, no circuit) passes the
// compiler's parse, with its limits on the size of a statement: a generated
// block is checked before it is handed out. Nothing is shown, nothing is
// loaded, and the tables are freed again.
bool blockTextParses(const char* path);

#endif
