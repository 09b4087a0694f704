// kytparse FILE: compiles model text as far as the run command does before
// the back end, and prints the symbol tables and each block's code after the
// back end's rewrites. Messages go to standard error; the exit code is 0
// when the text was accepted, 1 otherwise.
#include "ModelListing.h"
#include "SymbolTables.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "ResString.h"
#include "ShowFile.h"

#include <cstdio>

namespace {

// Compiler messages name the translated file; here it is the one given.
class ConsoleViewer : public FileViewer {
public:
    explicit ConsoleViewer(const char* path) : file(path) {}
    void showFile(const char* message, const char*, int line) override
    {
        fprintf(stderr, "%s:%d:\n%s\n\n", file, line, message);
    }

private:
    const char* file;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "kytparse FILE\n");
        return 2;
    }
    FILE* input = openFile(argv[1], "rt");
    if (!input) {
        fprintf(stderr, getResString(20907), argv[1]);
        fputs("\n", stderr);
        return 1;
    }
    // As in the main program: no ERROR.LOG in the current directory.
    disableErrorLog();
    ConsoleViewer viewer(argv[1]);
    setFileViewer(&viewer);
    int result = parseModelText(input);
    if (result == 0) {
        result = writeModelListing(stdout);
        freeSymbolTables();
    }
    fclose(input);
    setFileViewer(nullptr);
    freeResStringCache();
    return result ? 1 : 0;
}
