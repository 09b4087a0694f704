#include "RunApplication.h"

#include "Application.h"
#include "CompanionStart.h"
#include "ErrorReporter.h"
#include "EditorDialogs.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyOptions.h"
#include "FuzzyPlots.h"
#include "Layout.h"
#include "ResString.h"
#include "ShowFile.h"
#include "SurfaceWindow.h"
#include "VisualCtrl.h"
#include "strings/KytfuzzyStrings.h"

#include <windows.h>

#include <string>

namespace {


// 64-bit precision and projective infinity are what the x87 code of old
// needed; on x86-64 the doubles are SSE ones and there is nothing to set.
void setFpuPrecision64() {}

// showFileAtLine opens the listing in a modal viewer over the frame.
class FrameListingViewer : public FileViewer {
public:
    explicit FrameListingViewer(FuzzyEditorFrame* f) : frame(f) {}
    void showFile(const char* message, const char* path, int line) override { frame->showListing(message, path, line); }

private:
    FuzzyEditorFrame* frame;
};

bool onlyBlanks(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

} // namespace

void runApplication(Application* app)
{
    app->exitCode = 1;
    char startDir[256];
    DWORD n = GetCurrentDirectoryA(sizeof startDir, startDir);
    if (n == 0 || n >= sizeof startDir)
        return;
    setCompanionReporting(true);
    register3dClasses();
    setFpuPrecision64();

    FuzzyOptions* options = new FuzzyOptions;
    FuzzyEditorFrame* frame =
        new FuzzyEditorFrame(nullptr, new Layout, WS_OVERLAPPEDWINDOW, getResString(kStrFzProgramTitle), options);
    EditorDialogHooks dialogs(frame);
    frame->setHooks(&dialogs);
    FrameListingViewer viewer(frame);
    FuzzyPlots* plots = new FuzzyPlots(frame, options);
    plots->setHelp([options](const char* topic) { options->showHelp(topic); });
    setFileViewer(&viewer);

    std::string tempDir, helpDir, iniPath;
    switch (readCompanionIni(startDir, &tempDir, &helpDir, &iniPath)) {
    case COMPANION_INI_MISSING:
        reportError(ERR_FATAL, getResString(kStrFzCannotOpen), iniPath.c_str());
        break;
    case COMPANION_INI_TEMPDIR_LOCKED:
        reportError(ERR_FATAL, getResString(kStrFzNoTempRights), tempDir.c_str());
        break;
    case COMPANION_INI_OK:
        break;
    }
    options->setTempDir(tempDir);
    options->setHelpDir(helpDir);
    options->readSettingsFile();
    frame->rebuildMenus();
    frame->show(SW_SHOW);

    bool runLoop = true;
    const std::string commandLine = app->commandLine.text() ? app->commandLine.text() : "";
    FuzzySession& session = frame->getSession();
    if (!onlyBlanks(commandLine)) {
        std::string blockName, path;
        if (splitWizardCommandLine(commandLine, &blockName, &path)) {
            session.setWizard(blockName, path);
            std::string fileToOpen;
            auto askOverwrite = [&]() {
                return MessageBoxObject(frame, getResString(kStrFzNotWizardBlock), getResString(kStrFzWarningCaption),
                                        MB_YESNO | MB_ICONQUESTION)
                           .answer == IDYES;
            };
            switch (extractWizardKyb(blockName, path, tempDir, askOverwrite, &fileToOpen)) {
            case 0:
                session.newBlock();
                break;
            case 1:
                session.openBlock(fileToOpen);
                break;
            default:
                runLoop = false;
                break;
            }
        } else {
            MessageBoxObject(frame, getResString(kStrFzBadWizardCall), getResString(kStrFzErrorCaption), MB_ICONHAND);
        }
    }
    if (runLoop)
        app->MessageLoop();

    const int exitCode = session.finalExitCode();
    options->writeSettingsFile();
    setFileViewer(nullptr);
    deleteSurfaceWindow();
    delete plots;
    frame->setHooks(nullptr);
    delete frame;
    options->closePlotWindows();
    delete options;
    freeResStringCache();
    app->exitCode = exitCode;
}
