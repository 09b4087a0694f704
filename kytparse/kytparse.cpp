// kytparse FILE: compiles model text as far as the run command does before
// the back end, and prints the symbol tables and each block's code after the
// back end's rewrites.
//
// kytparse --compile [--listing PI] [--symbols] [--tempdir DIR]
//          [--stamp TEXT] FILE: runs the whole compile road of the run
// command up to the loaded PI program; --listing writes the PI text into PI,
// --symbols the full symbol listing into kytsym.tmp of the temporary
// directory (DIR, else the current directory), --stamp fixes the build stamp
// of the PI text's first line.
//
// Messages go to standard error; the exit code is 0 when the text was
// accepted (and loaded), 1 otherwise, 2 for a wrong command line.
#include "CompileRoad.h"
#include "ModelListing.h"
#include "PiCodeWriter.h"
#include "SymbolTables.h"

#include "ModuleRegistry.h"
#include "RunTimeLibraries.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "ResString.h"
#include "ShowFile.h"
#include "strings/MessagesStrings.h"

#include <clocale>
#include <cstdio>
#include <cstring>

namespace {

// Compiler messages name the translated file; here it is the one given.
class ConsoleViewer : public FileViewer {
public:
    explicit ConsoleViewer(const char* path) : file(path) {}
    void showFile(const char* message, const char* path, int line) override
    {
        // The symbol listing of an algebraic loop is shown whole.
        if (line < 0) {
            fprintf(stderr, "%s\n\n", message);
            FILE* f = openFile(path, "rt");
            if (f) {
                int c;
                while ((c = getc(f)) != EOF)
                    fputc(c, stderr);
                fclose(f);
            }
            return;
        }
        fprintf(stderr, "%s:%d:\n%s\n\n", file, line, message);
    }

private:
    const char* file;
};

const char* tempDir = "";

const char* givenTempDir()
{
    return tempDir;
}

int usage()
{
    fprintf(stderr, "kytparse FILE\n"
                    "kytparse --compile [--listing PI] [--symbols] [--tempdir DIR] [--stamp TEXT] FILE\n");
    return 2;
}

int listTables(const char* path)
{
    FILE* input = openFile(path, "rt");
    if (!input) {
        fprintf(stderr, getResString(kStrCannotOpen), path);
        fputs("\n", stderr);
        return 1;
    }
    int result = parseModelText(input);
    if (result == 0) {
        result = writeModelListing(stdout);
        freeSymbolTables();
    }
    fclose(input);
    return result ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    // A program of the user's locale: neither the PI text nor the listings
    // may depend on it.
    setlocale(LC_ALL, "");
    setModuleLibraryList(kRunTimeLibraries);
    setModuleCatalog(&registryModuleCatalog);

    bool compile = false;
    CompileRequest request;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        bool hasValue = i + 1 < argc;
        if (strcmp(a, "--compile") == 0)
            compile = true;
        else if (strcmp(a, "--symbols") == 0)
            request.writeSymbols = 1;
        else if (strcmp(a, "--listing") == 0 && hasValue)
            request.listingFile = argv[++i];
        else if (strcmp(a, "--tempdir") == 0 && hasValue)
            tempDir = argv[++i];
        else if (strcmp(a, "--stamp") == 0 && hasValue)
            setPiBuildStamp(argv[++i]);
        else if (a[0] == '-' || path)
            return usage();
        else
            path = a;
    }
    if (!path || (!compile && (request.listingFile || request.writeSymbols)))
        return usage();

    // As in the main program: no ERROR.LOG in the current directory.
    disableErrorLog();
    ConsoleViewer viewer(path);
    setFileViewer(&viewer);
    setTempDirSource(givenTempDir);
    int result;
    if (compile) {
        result = compileModelFile(path, request);
        if (result == COMPILE_LOADED)
            releaseCompiledModel();
    } else {
        result = listTables(path);
    }
    setTempDirSource(nullptr);
    setFileViewer(nullptr);
    freeResStringCache();
    return result ? 1 : 0;
}
