// Under wine: the circuits A, B and D compile to the golden PI texts byte
// for byte, the listing file holds the same bytes as the PI text buffer,
// kytsym.tmp matches its golden listing, and the loader takes the text.
//
//   golden_pi_wine_test FIXTURES SCRATCH
#include "CircuitFlattening.h"
#include "ModelListing.h"
#include "PiCodeWriter.h"
#include "SymbolTables.h"

#include "ModuleRegistry.h"
#include "PiLoader.h"
#include "PiTextBuffer.h"

#include "ErrorReporter.h"
#include "FileBytes.h"
#include "FileLayer.h"
#include "ResString.h"
#include "ShowFile.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

int failures = 0;

void check(bool ok, const std::string& what)
{
    printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    if (!ok)
        ++failures;
}

std::string bufferText()
{
    std::string s;
    for (const PiTextLine* l = piTextBuffer.head; l; l = l->next)
        s += l->text;
    return s;
}

std::string scratchDir;

const char* scratchTempDir()
{
    return scratchDir.c_str();
}

// Compiles one circuit as the run command does and compares.
void compileCircuit(const std::string& fixtures, const char* name, bool symbols)
{
    std::string model = fixtures + "/" + name + ".kyt";
    std::string listing = scratchDir + "/" + name + ".pi";
    FILE* input = openFile(model.c_str(), "rt");
    check(input != nullptr, std::string(name) + ": model text opened");
    if (!input)
        return;
    int parsed = parseModelText(input);
    check(parsed == 0, std::string(name) + ": parsed");
    if (parsed == 0) {
        int generated = PiCodeGenerate(kPiCodeGenerator, listing.c_str(), symbols ? 1 : 0);
        check(generated == 0, std::string(name) + ": PI text written");
        std::string text = bufferText();
        freeGeneratedCode();
        freeSymbolTables();
        check(text == readComparedFile(fixtures + "/" + name + ".pi"),
              std::string(name) + ": PI text equals the golden file");
        check(text == readComparedFile(listing), std::string(name) + ": listing file equals the buffer");
        if (symbols)
            check(readComparedFile(scratchDir + "/kytsym.tmp") == readComparedFile(fixtures + "/" + name + ".kytsym"),
                  std::string(name) + ": kytsym.tmp equals the golden listing");
        check(ModuleRegistryLoad() == 0, std::string(name) + ": libraries attached");
        check(loadPICode("from compiler", 1024), std::string(name) + ": loadPICode loads the text");
        check(codeLineCount(&piTextBuffer) == 0, std::string(name) + ": the loader took the text");
        unloadPICode();
        ModuleRegistryFree();
    }
    fclose(input);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "golden_pi_wine_test FIXTURES SCRATCH\n");
        return 2;
    }
    scratchDir = argv[2];
    mkdir(argv[2], 0777);
    disableErrorLog();
    setTempDirSource(scratchTempDir);
    setPiBuildStamp("Oct 21 1997 11:33:53");

    compileCircuit(argv[1], "kreisA", true);
    compileCircuit(argv[1], "kreisB", false);
    compileCircuit(argv[1], "kreisD", true);

    setTempDirSource(nullptr);
    freeResStringCache();
    printf("%d failed\n", failures);
    return failures ? 1 : 0;
}
