#include "KytProgram.h"

#include "Application.h"
#include "KytCommandLine.h"
#include "Dde.h"
#include "DeferredMessages.h"
#include "ErrorReporter.h"
#include "FuzzyDdeTopic.h"
#include "GedPane.h"
#include "HelpViewerWindow.h"
#include "KytEditorShell.h"
#include "HostServices.h"
#include "IdentShutdown.h"
#include "KytTiming.h"
#include "IdentWindowSystem.h"
#include "Layout.h"
#include "ListingViewer.h"
#include "MainFrame.h"
#include "NetErrorPlot.h"
#include "PiLoader.h"
#include "PlotNetErrorSystem.h"
#include "ResString.h"
#include "RunCommand.h"
#include "ShowFile.h"
#include "SimulationRun.h"
#include "VisualCtrl.h"
#include "WinServices.h"
#include "Workspace.h"
#include "WorkspacePlotHost.h"
#include "WorkspaceSeams.h"
#include "WorkspaceWin.h"
#include "strings/WorkspaceStrings.h"

#include <windows.h>

#include <vector>

namespace {

// kyt.set could not be written at the end.

std::string iniDirectory;

// The registry value through the Win32 registry of the user.
class UserRegistry : public RegistryReader {
public:
    bool readIniValue(unsigned long& type, std::string& bytes, size_t limit) override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kIniRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        std::vector<char> buffer(limit);
        DWORD size = static_cast<DWORD>(limit);
        DWORD valueType = 0;
        const LONG r = RegQueryValueExA(key, kIniRegistryValue, nullptr, &valueType,
                                        reinterpret_cast<BYTE*>(buffer.data()), &size);
        RegCloseKey(key);
        if (r != ERROR_SUCCESS || size > limit)
            return false;
        type = valueType;
        bytes.assign(buffer.data(), size);
        return true;
    }
};

class ProcessDirectory : public CurrentDirectorySource {
public:
    bool currentDirectory(std::string& directory, size_t limit) override
    {
        std::vector<char> buffer(limit);
        const DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(limit), buffer.data());
        if (n == 0 || n >= limit)
            return false;
        directory.assign(buffer.data(), n);
        return true;
    }
};

// The DDE service "KYT" with its topic "Fuzzy"; they live as long as the
// process.
void startDdeServer()
{
    static DdeServer* server = nullptr;
    if (server)
        return;
    server = new DdeServer("KYT");
    new FuzzyDdeTopic(server);
}

const char* localLibraryText()
{
    static String directory;
    directory = LocalBlockLibrary::directory();
    return directory.text();
}

WindowsLockFileSystem lockFiles;
WorkspacePlotHost plotHost;
PlotFrameFactory plotFactory(&plotHost);
PlotNetErrorSystem* errorPlots = nullptr;
// Compile and reader errors open the listing at the failing line; help
// opens in the help viewer.
ListingFileViewer* listingViewer = nullptr;
HelpViewerWindowFactory* helpViewers = nullptr;
// Block sources open in the text editor window, block help in help viewers.
KytEditorShell* editorWindows = nullptr;

} // namespace

const char* kytIniDirectory()
{
    return iniDirectory.c_str();
}

void setFloatControl()
{
    // Precision and infinity control are x87 matters: the doubles of x86-64
    // are SSE ones, which have neither, so there is nothing to set.
}

KytProgram::KytProgram(Application* application, const char* line)
    : app(application), commandLine(line ? line : ""), work(nullptr), mainFrame(nullptr)
{
}

KytProgram::~KytProgram()
{
    delete mainFrame;
}

int KytProgram::run()
{
    setFloatControl();
    UserRegistry registry;
    ProcessDirectory current;
    std::string directory;
    if (locateIniDirectory(registry, current, directory) != 0)
        return kExitFailed;
    disableErrorLog();
    startDdeServer();
    register3dClasses();

    work = new Workspace;
    setWorkspace(work);
    const CommandLineRequest request = parseCommandLine(commandLine.c_str(), directory);
    iniDirectory = request.iniDirectory;
    work->commandLineCircuit = request.circuitFile.c_str();
    work->runAfterLoad = request.runAfterLoad;
    work->printAfterLoad = request.printAfterLoad;

    mainFrame = new MainFrame(nullptr, new Layout, kMainFrameStyle, getResString(kResUntitled), iniDirectory.c_str());
    if (!mainFrame)
        reportError(ERR_FATAL, "Assertion failed: %s", "edWin != NULL");
    installSeams();

    StartRequest start;
    start.circuitFile = work->commandLineCircuit.text();
    start.runAfterLoad = work->runAfterLoad;
    start.printAfterLoad = work->printAfterLoad;
    const int exitCode = runStartSequence(*this, start);
    work->runAfterLoad = start.runAfterLoad;

    removeSeams();
    iniDirectory.clear();
    setWorkspace(nullptr);
    delete work;
    work = nullptr;
    freeResStringCache();
    return exitCode;
}

void KytProgram::installSeams()
{
    setReportOwnerWindow(mainFrame->hwnd);
    HostSeams seams = {};
    fillWorkspaceSeams(seams);
    seams.stringCount = piStringCount;
    seams.stringText = piStringText;
    seams.localLibraryDirectory = localLibraryText;
    setHostSeams(&seams);
    installWorkspaceDirectorySources();
    errorPlots = new PlotNetErrorSystem(mainFrame, &plotHost);
    setNetErrorPlotSystem(errorPlots);
    setDeferredCommandPoster(commandPosterFor(mainFrame));
    work->setPlotWindowFactory(&plotFactory);
    work->setQuestionCallback(askWithMessageBox);
    listingViewer = new ListingFileViewer(mainFrame);
    setFileViewer(listingViewer);
    helpViewers = new HelpViewerWindowFactory(mainFrame);
    work->setHelpViewerFactory(helpViewers);
    editorWindows = new KytEditorShell(mainFrame);
    setEditorShell(editorWindows);
    installIdentWindowSystem(mainFrame);
}

void KytProgram::removeSeams()
{
    if (work)
        work->setHelpViewerFactory(nullptr);
    delete helpViewers;
    helpViewers = nullptr;
    setEditorShell(nullptr);
    delete editorWindows;
    editorWindows = nullptr;
    setFileViewer(nullptr);
    delete listingViewer;
    listingViewer = nullptr;
    installIdentWindowSystem(nullptr);
    setDeferredCommandPoster(nullptr);
    clearDeferredMessages();
    setNetErrorPlotSystem(nullptr);
    delete errorPlots;
    errorPlots = nullptr;
    setHostSeams(nullptr);
    setReportOwnerWindow(nullptr);
    setLockFileSystem(nullptr);
}

int KytProgram::acquireLock()
{
    setLockFileSystem(&lockFiles);
    return lock.acquireLock();
}

void KytProgram::resetLocalLibrary()
{
    lock.reset();
}

void KytProgram::showFrame()
{
    mainFrame->show(SW_SHOWNORMAL);
    mainFrame->focusPane();
    timingEvent("frame");
}

int KytProgram::loadCircuit(const std::string& name)
{
    return mainFrame->loadCircuit(String(name.c_str()));
}

void KytProgram::runCircuit(int startAtOnce)
{
    ::runCircuit(startAtOnce);
}

void KytProgram::printCircuit()
{
    if (GedPane* pane = mainFrame->getPane())
        pane->print();
}

int KytProgram::messageLoop()
{
    return app->MessageLoop();
}

void KytProgram::closeIdentification()
{
    closeIdentificationObjects();
}

void KytProgram::deleteLastRun()
{
    setSimulationRun(nullptr);
}

void KytProgram::deleteFrame()
{
    setReportOwnerWindow(nullptr);
    delete mainFrame;
    mainFrame = nullptr;
}

void KytProgram::writeSettings()
{
    // Said at the end, when nothing else can be lost: the grid and the
    // recent files stay as kyt.set had them.
    if (work && !work->writeSettingsFile())
        reportError(ERR_ERROR, getResString(kStrSettingsNotWritten), work->settingsFilePath().text());
}

void KytProgram::closeLock()
{
    lock.close();
}
