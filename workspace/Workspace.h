// The main program's single object of workspace state. For now it holds the
// six directories of the installation and the block-library catalogue.
#ifndef KYT_WORKSPACE_WORKSPACE_H
#define KYT_WORKSPACE_WORKSPACE_H

#include "ADArray.h"
#include "LibraryRecords.h"
#include "String.h"

#include <cstdio>

class Workspace {
public:
    Workspace();
    ~Workspace();

    void setCircuitDir(String dir);
    void setIconDir(String dir);
    void setTempDir(String dir);
    void setFragDir(String dir);
    void setBinDir(String dir);
    void setHelpDir(String dir);

    // The directory of the first library whose name equals name byte for
    // byte; empty text when there is none.
    String findLibraryBlockFile(const char* name);

    // Fills the groups of library i of libs from an open ablocks.bfl.
    void readSectionedFile(FILE* stream, int i, ADArray<BlockLibrary>& libs);

    // Read directly by their users.
    String CIRCUITDIR;
    String ICONDIR;
    String TEMPDIR;
    String FRAGDIR;
    String BINDIR;
    String HELPDIR;

    // The block-library catalogue; users go by libraryCount.
    ADArray<BlockLibrary> libraries;
    int libraryCount;

private:
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
};

// The one workspace of the program, null before the main function makes it.
extern Workspace* theWorkspace;

// Makes w the program's workspace: theWorkspace, and the temporary directory
// that the message log and the file viewer use. Null removes it.
void setWorkspace(Workspace* w);

// The installation file in an installation directory: the directory, a
// backslash unless it already ends with a separator, and "kyt.ini".
String installationFilePath(const char* installDir);

// Start-up reading of kyt.ini at iniPath: the catalogue is replaced by the
// libraries read, the six directories are set, with the defaults for those
// the file leaves empty (TEMPDIR and FRAGDIR: CIRCUITDIR; HELPDIR and BINDIR:
// the directory of kyt.ini). A file that cannot be opened is a fatal error.
void readInstallationFile(Workspace& w, const char* iniPath);

#endif
