// The compile road of the run command: the compiler translates a model file
// into PI text (ModelTranslation.h), then the engine's registry attaches the
// run-time libraries again and its loader loads the PI text. It sits above
// both, so that neither links the other; kyt, kytsim, kytparse and the tests
// take it. Messages go through the compiler message log and the error
// reporter to the sinks the program (or test) has installed; nothing is
// shown here.
//
// After COMPILE_LOADED the PI program is loaded and the library registry is
// attached: the simulator runs it, and its owner ends both with
// releaseCompiledModel (unloadPICode, then ModuleRegistryFree). After any
// other result nothing is loaded, the registry is free and the PI text
// buffer is empty.
#ifndef KYT_COMPILEROAD_COMPILEROAD_H
#define KYT_COMPILEROAD_COMPILEROAD_H

#include "ModelTranslation.h"

#include <cstdio>

enum CompileOutcome {
    COMPILE_LOADED = 0,
    COMPILE_NOT_OPENED = 1,        // the model file cannot be opened (20907 shown)
    COMPILE_NOT_STARTED = 2,       // scanreset refused (20802 shown)
    COMPILE_PARSE_FAILED = 3,      // yyparse gave a message or a syntax error
    COMPILE_GENERATION_FAILED = 4, // PiCodeGenerate gave a message or an algebraic loop
    COMPILE_REGISTRY_FAILED = 5,   // the libraries could not be attached again (22007 shown)
    COMPILE_LOAD_FAILED = 6        // a library's load hook refused the program
};

struct CompileRequest {
    // Receives a copy of the PI text (PiCodeGenerate's listing file); null
    // for none.
    const char* listingFile = nullptr;
    // Non-zero: the full symbol listing goes into kytsym.tmp in the
    // temporary directory.
    int writeSymbols = 0;
    // Size of the interpreter stack the program is loaded with.
    int stackSize = 1024;
    // Called once the PI text is generated, before the libraries are
    // attached and the program is loaded (kyt's timing trace); may be null.
    void (*generated)() = nullptr;
};

// Opens the model file in text mode and runs the road on it. The file is
// closed again before the result is returned.
int compileModelFile(const char* path, const CompileRequest& request = CompileRequest());

// The road on a stream the caller opened (and closes): translateModelText
// (scanreset, message log on, yyparse, message log off, PiCodeGenerate,
// freeGeneratedCode, freeSymbolTables), ModuleRegistryLoad,
// loadPICode("from compiler").
int compileModelStream(FILE* input, const CompileRequest& request = CompileRequest());

// Ends a model that compileModel* loaded: unloads the PI program and frees
// the library registry.
void releaseCompiledModel();

#endif
