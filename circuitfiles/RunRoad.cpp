#include "RunRoad.h"

#include "CircuitModel.h"
#include "CompileRoad.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "LocalLibrary.h"
#include "PiProgram.h"
#include "ResString.h"
#include "ShowFile.h"
#include "Workspace.h"

int compileCircuit(CircuitModel& model)
{
    const char* tempDir = theWorkspace ? theWorkspace->TEMPDIR.text() : getTempDir();
    String path = joinPath(tempDir, kCompilerFileName);
    if (!model.saveCircuit(path.text(), 1, 0)) {
        // A half-written file must not be compiled as if it were the circuit.
        reportError(ERR_ERROR, getResString(kResFileNotOpened), path.text());
        return COMPILE_NOT_OPENED;
    }
    return compileModelFile(path.text());
}

void collectMarkedSymbols(const CircuitModel& model, PiProgram& program)
{
    for (const MarkedSymbol& marked : model.markedSymbols())
        for (int r = 0; r < program.nsymbols; ++r)
            if (program.symbols[r].name && marked.name == program.symbols[r].name)
                program.symbols[r].label = marked.label.c_str();
}
