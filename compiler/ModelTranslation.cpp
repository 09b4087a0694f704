#include "ModelTranslation.h"

#include "CircuitFlattening.h"
#include "ModelListing.h"
#include "PiCodeWriter.h"
#include "SymbolTables.h"

#include "PiTextBuffer.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "ShowFile.h"
#include "Scanner.h"

#include <string>

namespace {

// The reports of a check that must not reach the user: boxes and the
// viewer stay shut; a fatal end is still the program's.
class QuietSink : public ErrorSink {
public:
    explicit QuietSink(ErrorSink* previous) : previous(previous) {}
    void beep() override {}
    void showBox(const char*, const char*) override {}
    [[noreturn]] void endProcess(int exitCode) override
    {
        setErrorSink(previous);
        getErrorSink()->endProcess(exitCode);
    }

private:
    ErrorSink* previous;
};

class QuietViewer : public FileViewer {
public:
    void showFile(const char*, const char*, int) override {}
};

} // namespace

TranslationOutcome translateModelText(FILE* input, const char* listingFile, int writeSymbols)
{
    switch (parseModelText(input)) {
    case 0:
        break;
    case 2:
        return TRANSLATION_NOT_STARTED;
    default:
        return TRANSLATION_PARSE_FAILED;
    }

    int failed = PiCodeGenerate(kPiCodeGenerator, listingFile, writeSymbols);
    freeGeneratedCode();
    freeSymbolTables();   // also frees the catalog's list of rows
    if (failed) {
        freeCodeBuffer(&piTextBuffer);
        return TRANSLATION_GENERATION_FAILED;
    }
    return TRANSLATION_WRITTEN;
}

bool blockTextParses(const char* path)
{
    FILE* block = openFile(path, "rb");
    if (!block)
        return false;
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, block)) > 0 && text.size() <= kMaxModelText)
        text.append(chunk, n);
    const bool readWhole = !ferror(block) && text.size() <= kMaxModelText;
    fclose(block);
    if (!readWhole)
        return false;
    // A model is blocks and a circuit: an empty one after the blocks.
    text += "\nCIRCUIT Probe;\nENDCIRCUIT Probe;\n";
    FILE* input = fmemopen(&text[0], text.size(), "r");
    if (!input)
        return false;
    ErrorSink* sink = getErrorSink();
    FileViewer* viewer = getFileViewer();
    QuietSink quietSink(sink);
    QuietViewer quietViewer;
    setErrorSink(&quietSink);
    setFileViewer(&quietViewer);
    const int result = parseModelText(input);
    if (result == 0)
        freeSymbolTables();
    setFileViewer(viewer);
    setErrorSink(sink);
    fclose(input);
    return result == 0;
}
