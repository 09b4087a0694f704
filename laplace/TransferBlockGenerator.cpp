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
const unsigned int kResBlockNotCompilable = 18054; // the compiler would refuse the block

bool removeFile(const char* path)
{
    return remove(mapPath(path).text()) == 0;
}

} // namespace

// An existing block file is replaced only by a complete copy (every write
// and the close checked before the rename).
bool PolyGrammarParser::copyWorkFileToBlock(const char* workPath, const char* blockPath)
{
    FILE* in = openFile(workPath, "rt");
    if (!in)
        return false;
    bool ok = writeFileChecked(blockPath, "wt", [in](FILE* out) {
        String line;
        while (readLine(in, line))
            if (fputs(line.text(), out) == EOF || fputc('\n', out) == EOF)
                return false;
        return !ferror(in);
    });
    if (fclose(in) != 0)
        ok = false;
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

    // A block that the compiler would refuse (a statement of more than its
    // 1000 operators, as a^40^40 gives) is not handed out: the block file
    // stays as it was.
    if (parsed == 0 && !hasMessage() && blockCheck && !blockCheck(workPath))
        storeMessage(kResBlockNotCompilable);

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
