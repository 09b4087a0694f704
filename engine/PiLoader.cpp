#include "PiLoader.h"

#include "CompilerOptions.h"
#include "ModuleRegistry.h"
#include "PiAnalysis.h"
#include "PiInterpreter.h"
#include "PiLinker.h"
#include "PiTextBuffer.h"
#include "PiTextReader.h"
#include "PiVerifier.h"
#include "ResString.h"
#include "ResetSimulator.h"
#include "strings/PiStrings.h"

#include <cstring>
#include <vector>

PiProgram piProgram = {};

namespace {

// Reads, links and verifies a section and readies its fused code; true
// when every library call in it is to a row free of side effects.
bool loadSection(PiCode& code)
{
    std::vector<RawInstruction> section;
    readPiInstructions(section);
    std::vector<long> piLines = linkPiCode(section, code);
    checkStackDepth(code, piLines);
    int depth = 0;
    code.maxDepth = highestStackDepth(code, &depth) ? depth : 0;
    if (code.maxDepth > 0)
        fusePiCode(code);
    return callsOnlyFreeRows(section);
}

void loadCodeSections()
{
    PiProgram& p = piProgram;
    readInitStart();
    loadSection(p.init);
    readContStart();
    p.contRepeatable = isRepeatable(p.cont, loadSection(p.cont));

    int n = readDiscretCount();
    p.discrete = new PiCode[static_cast<size_t>(n > 0 ? n : 1)]();
    p.ndiscr = n;
    for (int i = 0; i < n; ++i) {
        readDiscStart(i, p.discrete[i]);
        loadSection(p.discrete[i]);
    }
    readTextEnd();
    linkSectionCalls(pendingPiCalls(), n);
}

void freeCode(PiCode& code)
{
    delete[] code.code;
    code.code = nullptr;
    code.count = 0;
    delete[] code.fused;
    code.fused = nullptr;
    code.maxDepth = 0;
}

// Frees the loaded program's tables and sets every count to 0.
void freeLoadedProgram()
{
    PiProgram& p = piProgram;
    for (int i = 0; i < p.nsymbols; ++i)
        delete[] p.symbols[i].name;
    delete[] p.symbols;
    for (int i = 0; i < p.nstrings; ++i)
        delete[] p.strings[i];
    delete[] p.strings;
    delete[] p.derivative;
    for (double* s : p.state)
        delete[] s;
    delete[] p.stateWork;
    delete[] p.value;
    freeCode(p.init);
    freeCode(p.cont);
    for (int i = 0; i < p.ndiscr; ++i)
        freeCode(p.discrete[i]);
    delete[] p.discrete;
    delete[] p.stack;
    p = PiProgram{};
    p.exitString = -1;
}

} // namespace

bool loadPICode(const char* sourceName, int stackSize)
{
    (void)sourceName;
    clearOption(OPTION_COMPILE_PHASE);
    if (stackSize <= 0)
        piLoadFatal(getResString(kStrStackSizeNotPositive));
    freeLoadedProgram();
    resetSimulator();

    PiProgram& p = piProgram;
    p.stack = newPiValues(stackSize);
    p.stackSize = stackSize;
    p.stackPointer = 0;
    p.exitString = -1;
    startPiText();
    readPiDeclarations();
    loadCodeSections();
    finishPiText();

    flushCodeBuffer(&piTextBuffer);
    freeCodeBuffer(&piTextBuffer);
    return runLoadHooks() == 0;
}

void unloadPICode()
{
    runUnloadHooks();
    resetSimulator();
    freeLoadedProgram();
}

const char* getExitMessage()
{
    const PiProgram& p = piProgram;
    if (p.exitString >= 0 && p.exitString < p.nstrings)
        return p.strings[p.exitString];
    return "";
}

const PiSymbol* findPiSymbol(const char* name)
{
    for (int i = 0; i < piProgram.nsymbols; ++i)
        if (strcmp(piProgram.symbols[i].name, name) == 0)
            return &piProgram.symbols[i];
    return nullptr;
}

int piStringCount()
{
    return piProgram.nstrings;
}

const char* piStringText(int index)
{
    return index >= 0 && index < piProgram.nstrings ? piProgram.strings[index] : nullptr;
}
