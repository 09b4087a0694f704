// generateBlock: from the text typed into the Laplace wizard to the block
// file in the local library, through the work file laplace.tmp.
#include "PolyGrammarParser.h"

#include "FileLayer.h"
#include "Polynomial.h"
#include "String.h"

#include <cstdio>

namespace {

const unsigned int kResWorkFileOpen = 18001;   // work file cannot be opened
const unsigned int kResWorkFileWrite = 18002;  // work file had a write error
const unsigned int kResWorkFileRemove = 18003; // work file cannot be deleted

// The block file is first written beside itself under this suffix.
const char kTemporarySuffix[] = ".new";

bool removeFile(const char* path)
{
    return remove(mapPath(path).text()) == 0;
}

} // namespace

// An existing block file is replaced only by a complete copy: the copy goes
// into a temporary file beside it, and only a copy whose every write and
// whose close succeeded is renamed over the block file.
bool PolyGrammarParser::copyWorkFileToBlock(const char* workPath, const char* blockPath)
{
    String temporary = String(blockPath) + kTemporarySuffix;
    FILE* in = openFile(workPath, "rt");
    if (!in)
        return false;
    FILE* out = openFile(temporary.text(), "wt");
    if (!out) {
        fclose(in);
        return false;
    }
    bool ok = true;
    String line;
    while (readLine(in, line)) {
        if (fputs(line.text(), out) == EOF || fputc('\n', out) == EOF) {
            ok = false;
            break;
        }
    }
    if (ferror(in))
        ok = false;
    if (fclose(in) != 0)
        ok = false;
    if (ferror(out))
        ok = false;
    if (fclose(out) != 0)
        ok = false;
    if (ok && rename(mapPath(temporary.text()).text(), mapPath(blockPath).text()) != 0)
        ok = false;
    if (!ok)
        removeFile(temporary.text());
    return ok;
}

int PolyGrammarParser::generateBlock(const char* text, const char* workPath, const char* blockPath,
                                     const char* blockName)
{
    // 1.
    startNodeCount();
    RationalFunction value;
    clearMessage();
    setResult(&value);

    // 2.
    setInput(text);

    // 3.
    FILE* work = openFile(workPath, "wt");
    if (!work) {
        storeMessage(kResWorkFileOpen);
        setResult(nullptr);
        return 1;
    }
    setWorkFile(work);

    // 4.
    int parsed = parse();

    // 5.
    if (parsed != 0)
        freeRegisteredPointers();
    else
        value.writeTransferBlock(blockName ? blockName : "");

    // 6.
    parameters.clear();

    // 7.
    bool writeError = ferror(work) != 0;
    if (fclose(work) != 0)
        writeError = true;
    setWorkFile(nullptr);
    if (writeError && parsed == 0)
        storeMessage(kResWorkFileWrite);

    // 8.
    if (parsed == 0 && !hasMessage() && !copyWorkFileToBlock(workPath, blockPath))
        storeMessage(kResWorkFileWrite);

    // 9.
    if (!removeFile(workPath))
        storeMessage(kResWorkFileRemove);

    setResult(nullptr);
    // 10.
    return hasMessage() ? 1 : parsed;
}
