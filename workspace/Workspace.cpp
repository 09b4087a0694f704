#include "Workspace.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "IniReader.h"
#include "LibraryIndex.h"
#include "ResString.h"
#include "ShowFile.h"

#include <cstring>

Workspace* theWorkspace = nullptr;

namespace {

const unsigned int kResCannotOpen = 20907;  // "Die Datei %s kann nicht geöffnet werden!"
const char kInstallationFile[] = "kyt.ini";

const char* workspaceTempDir()
{
    return theWorkspace ? theWorkspace->TEMPDIR.text() : "";
}

} // namespace

Workspace::Workspace() : libraries(1), libraryCount(0) {}

Workspace::~Workspace()
{
    if (theWorkspace == this)
        setWorkspace(nullptr);
}

void Workspace::setCircuitDir(String dir) { CIRCUITDIR = dir; }
void Workspace::setIconDir(String dir) { ICONDIR = dir; }
void Workspace::setTempDir(String dir) { TEMPDIR = dir; }
void Workspace::setFragDir(String dir) { FRAGDIR = dir; }
void Workspace::setBinDir(String dir) { BINDIR = dir; }
void Workspace::setHelpDir(String dir) { HELPDIR = dir; }

String Workspace::findLibraryBlockFile(const char* name)
{
    // Behind the counted libraries may stand one whose index was unreadable.
    for (int i = 0; i < libraryCount; ++i) {
        BlockLibrary& lib = libraries.ElementAt(i);
        if (strcmp(lib.name.text(), name ? name : "") == 0)
            return lib.file;
    }
    return String();
}

void Workspace::readSectionedFile(FILE* stream, int i, ADArray<BlockLibrary>& libs)
{
    ::readSectionedFile(stream, i, libs);
}

void setWorkspace(Workspace* w)
{
    theWorkspace = w;
    setTempDirSource(w ? workspaceTempDir : nullptr);
}

String installationFilePath(const char* installDir)
{
    return joinPath(installDir, kInstallationFile);
}

void readInstallationFile(Workspace& w, const char* iniPath)
{
    FILE* f = openFile(iniPath, "rt");
    if (!f) {
        reportError(ERR_FATAL, getResString(kResCannotOpen), iniPath);
        return;
    }
    String installDir;
    splitPath(iniPath, &installDir, nullptr);

    IniReader reader;
    reader.setFile(f, iniPath);
    reader.read(w.libraries, w.libraryCount);

    String circuit = reader.getCircuitDir();
    w.setCircuitDir(circuit);
    w.setIconDir(reader.getIconDir());
    String temp = reader.getTempDir();
    w.setTempDir(temp.getLength() ? temp : circuit);
    String help = reader.getHelpDir();
    w.setHelpDir(help.getLength() ? help : installDir);
    String bin = reader.getBinDir();
    w.setBinDir(bin.getLength() ? bin : installDir);
    String frag = reader.getFragDir();
    w.setFragDir(frag.getLength() ? frag : circuit);
    fclose(f);
}
