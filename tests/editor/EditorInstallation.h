// The installation of the editor's wine tests in a scratch directory: the
// fixture library "Standard" and the icons, and the program's own
// directories (circuits, TEMPDIR, library Local) as wine paths, as a user's
// kyt.ini has them.
#ifndef KYT_TESTS_EDITOR_EDITORINSTALLATION_H
#define KYT_TESTS_EDITOR_EDITORINSTALLATION_H

#include <cstdio>
#include <string>
#include <sys/stat.h>

// Writes dir/kyt.ini and makes tmp/ and local/ beside it; kyt.ini's path.
inline std::string makeEditorInstallation(const std::string& dir, const std::string& fixtures)
{
    std::string z = "Z:" + dir;
    std::string ini = "CIRCUITDIR = " + z + ";\nICONDIR = " + fixtures + "/icons;\nTEMPDIR = " + z +
                      "/tmp;\nBLOCKLIBS\n    LIB Standard AT " + fixtures + "/standard;\n    LIB Local AT " + z +
                      "/local;\nENDBLOCKLIBS\n";
    mkdir((dir + "/tmp").c_str(), 0777);
    mkdir((dir + "/local").c_str(), 0777);
    std::string path = dir + "/kyt.ini";
    if (FILE* f = fopen(path.c_str(), "w")) {
        fputs(ini.c_str(), f);
        fclose(f);
    }
    return path;
}

#endif
