// kytini KYT.INI: reads an installation file as the program does at start
// and prints the directories and the block-library catalogue. Every mistake
// in the file is printed with its file, line and column; the exit code is
// then 1 (also when the file cannot be opened), otherwise 0.
#include "ErrorReporter.h"
#include "ShowFile.h"
#include "Workspace.h"

#include <cstdio>

namespace {

// In place of the listing viewer: the message and where the viewer would
// open the file.
class PrintingViewer : public FileViewer {
public:
    void showFile(const char* message, const char* path, int line) override
    {
        printf("%s\n(Datei %s, Zeile %d)\n\n", message, path, line);
        ++shown;
    }
    int shown = 0;
};

void printCatalogue(Workspace& w)
{
    printf("CIRCUITDIR = %s\n", w.CIRCUITDIR.text());
    printf("ICONDIR    = %s\n", w.ICONDIR.text());
    printf("TEMPDIR    = %s\n", w.TEMPDIR.text());
    printf("FRAGDIR    = %s\n", w.FRAGDIR.text());
    printf("BINDIR     = %s\n", w.BINDIR.text());
    printf("HELPDIR    = %s\n", w.HELPDIR.text());
    printf("Bibliotheken: %d\n", w.libraryCount);
    for (int i = 0; i < w.libraryCount; ++i) {
        BlockLibrary& lib = w.libraries.ElementAt(i);
        printf("LIB %s AT %s, Gruppen: %d\n", lib.name.text(), lib.file.text(), lib.sectionCount);
        for (int s = 0; s < lib.sectionCount; ++s) {
            LibrarySection& sec = lib.sections.ElementAt(s);
            printf("  $%s\n", sec.name.text());
            for (int b = 0; b < sec.count; ++b)
                printf("    %s, %s\n", sec.getFirstName(b).text(), sec.getSecondName(b).text());
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "Aufruf: kytini KYT.INI\n");
        return 2;
    }
    PrintingViewer viewer;
    setFileViewer(&viewer);
    disableErrorLog();

    Workspace w;
    setWorkspace(&w);
    readInstallationFile(w, argv[1]);
    printCatalogue(w);
    setWorkspace(nullptr);
    setFileViewer(nullptr);
    return viewer.shown ? 1 : 0;
}
