#include "CompileRoad.h"

#include "ModelTranslation.h"

#include "ModuleRegistry.h"
#include "PiLoader.h"
#include "PiTextBuffer.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "ResString.h"
#include "strings/MessagesStrings.h"

int compileModelStream(FILE* input, const CompileRequest& request)
{
    switch (translateModelText(input, request.listingFile, request.writeSymbols)) {
    case TRANSLATION_WRITTEN:
        break;
    case TRANSLATION_NOT_STARTED:
        return COMPILE_NOT_STARTED;
    case TRANSLATION_PARSE_FAILED:
        return COMPILE_PARSE_FAILED;
    case TRANSLATION_GENERATION_FAILED:
        return COMPILE_GENERATION_FAILED;
    }
    if (request.generated)
        request.generated();

    if (ModuleRegistryLoad()) {
        ModuleRegistryFree();
        freeCodeBuffer(&piTextBuffer);
        return COMPILE_REGISTRY_FAILED;
    }
    if (!loadPICode("from compiler", request.stackSize)) {
        unloadPICode();
        ModuleRegistryFree();
        return COMPILE_LOAD_FAILED;
    }
    return COMPILE_LOADED;
}

int compileModelFile(const char* path, const CompileRequest& request)
{
    FILE* input = openFile(path, "rt");
    if (!input) {
        reportError(ERR_ERROR, getResString(kStrCannotOpen), path);
        return COMPILE_NOT_OPENED;
    }
    int result = compileModelStream(input, request);
    fclose(input);
    return result;
}

void releaseCompiledModel()
{
    unloadPICode();
    ModuleRegistryFree();
}
