#include "Workspace.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "IniReader.h"
#include "LibraryIndex.h"
#include "ResString.h"
#include "ShowFile.h"
#include "strings/MessagesStrings.h"

#include <cstring>

Workspace* theWorkspace = nullptr;
PlotWindow* plotOszi = nullptr;

namespace {

const char kInstallationFile[] = "kyt.ini";

const char* workspaceTempDir()
{
    return theWorkspace ? theWorkspace->TEMPDIR.text() : "";
}

} // namespace

Workspace::Workspace()
    : gridInactive(0),
      showInputSignalNames(0),
      hideConnectionLines(0),
      printing(0),
      simParams(defaultSimParams()),
      runAfterLoad(0),
      printAfterLoad(0),
      gridWidth(0),
      gridHeight(0),
      recentFileCommands{1101, 2102, 2103, 2104, 1105},
      plotWindows{},
      plotWindowCommands{201, 202, 203, 204, 205, 206, 207, 208, 209},
      clipboard(nullptr),
      busy(0),
      wizardActive(0),
      helpWindow(nullptr),
      mainMenu(nullptr),
      mainToolBar(nullptr),
      libraries(1),
      libraryCount(0),
      runActive(false),
      plotFactory(nullptr),
      helpFactory(nullptr)
{
    resetPlotParams();
    plotOszi = nullptr;
}

Workspace::~Workspace()
{
    // A frame deleted here reports its destruction again: its slot and the
    // active pointer are cleared first, so that nothing is deleted twice and
    // no menu is rebuilt.
    for (PlotWindow*& slot : plotWindows) {
        PlotWindow* frame = slot;
        slot = nullptr;
        if (!frame)
            continue;
        if (plotOszi == frame)
            plotOszi = nullptr;
        frame->holder = nullptr;
        delete frame;
    }
    if (plotOszi && plotOszi->holder == this)
        plotOszi = nullptr;
    if (theWorkspace == this)
        setWorkspace(nullptr);
}

void Workspace::resetSimParams()
{
    simParams = defaultSimParams();
}

void Workspace::resetResultFileName()
{
    // The circuit reader at ENDCIRCUIT: "nul" and nothing else.
    setResultFileName(simParams, "nul");
}

void Workspace::getSimParams(SimParams& params) const
{
    params = simParams;
}

void Workspace::setSimParams(SimParams params)
{
    // A mended fault: FNAME was copied up to its terminator, which a record
    // filled from elsewhere need not have.
    char name[kFileNameSize];
    memcpy(name, params.FNAME, kFileNameSize - 1);
    name[kFileNameSize - 1] = 0;
    simParams = params;
    memset(simParams.FNAME, 0, sizeof simParams.FNAME);
    strcpy(simParams.FNAME, name);
}

void Workspace::resetPlotParams()
{
    setPlotParams(1, 1, 1.0, 1.0, 0.0, 0.0);
}

void Workspace::getPlotParams(PlotParams& params) const
{
    params = plotParams;
}

void Workspace::setPlotParams(int autoX, int autoY, double xscale, double yscale, double xoff, double yoff)
{
    plotParams.autoX = autoX;
    plotParams.autoY = autoY;
    plotParams.xscale = xscale;
    plotParams.yscale = yscale;
    plotParams.xoff = xoff;
    plotParams.yoff = yoff;
}

GridSize Workspace::getGrid() const
{
    return GridSize{gridWidth, gridHeight};
}

void Workspace::setGrid(GridSize size)
{
    gridWidth = size.x / 2 * 2 + 1;
    gridHeight = size.y / 2 * 2 + 1;
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
        reportError(ERR_FATAL, getResString(kStrCannotOpen), iniPath);
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
