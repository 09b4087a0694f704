// generateBlock: from the text typed into the Laplace wizard to the block
// file in the local library, through the work file laplace.tmp.
#include "PolyGrammarParser.h"

#include "FileLayer.h"
#include "Polynomial.h"
#include "String.h"
#include "strings/LaplaceStrings.h"

#include <cstdio>

namespace {


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
        storeMessage(kStrLaplaceWorkFileOpen);
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
        storeMessage(kStrLaplaceWorkFileWrite);

    // A block that the compiler would refuse (a statement of more than its
    // 1000 operators, as a^40^40 gives) is not handed out: the block file
    // stays as it was.
    if (parsed == 0 && !hasMessage() && blockCheck && !blockCheck(workPath))
        storeMessage(kStrLaplaceNotCompilable);

    // 8.
    if (parsed == 0 && !hasMessage() && !copyWorkFileToBlock(workPath, blockPath))
        storeMessage(kStrLaplaceWorkFileWrite);

    // 9.
    if (!removeFile(workPath))
        storeMessage(kStrLaplaceWorkFileRemove);

    setResult(nullptr);
    // 10.
    return hasMessage() ? 1 : parsed;
}
