#include "RunIdentWizard.h"

#include "Application.h"
#include "ErrorReporter.h"
#include "IdentBlockData.h"
#include "IdentStart.h"
#include "IdentWizardDialog.h"
#include "ResString.h"
#include "ShowFile.h"

#include <windows.h>

#include <string>

namespace {

// A syntax error in kyt.ini: the message with the place, in a box (the
// wizard has no listing viewer of its own).
class BoxFileViewer : public FileViewer {
public:
    void showFile(const char* message, const char* path, int line) override
    {
        const std::string text = std::string(message ? message : "") + "\n\n" + (path ? path : "") + " (" +
                                 std::to_string(line) + ")";
        MessageBoxObject(nullptr, text.c_str(), getResString(kIdentCaptionError), MB_ICONHAND);
    }
};

bool askBox(const IdentMessage& message)
{
    UINT style = MB_ICONHAND;
    if (message.kind == IDENT_BOX_QUESTION)
        style = MB_YESNO | MB_ICONQUESTION;
    else if (message.kind == IDENT_BOX_NOTICE)
        style = MB_ICONINFORMATION;
    return MessageBoxObject(nullptr, message.text.c_str(), getResString(message.captionId), style).answer == IDYES;
}

} // namespace

void runIdentWizard(Application* app)
{
    int exitCode = kIdentExitFailed;
    setCompanionReporting(true);
    BoxFileViewer viewer;
    setFileViewer(&viewer);

    char startDir[257] = "";
    const DWORD n = GetCurrentDirectoryA(sizeof startDir, startDir);
    if (n == 0 || n >= sizeof startDir)
        startDir[0] = '\0';

    IdentBlockData* doc = new IdentBlockData;
    const std::string commandLine = app->commandLine.text() ? app->commandLine.text() : "";
    if (startIdentWizard(commandLine, startDir, doc, askBox, &exitCode)) {
        IdentWizardDialog* dialog = new IdentWizardDialog(doc, &exitCode);
        if (dialog->isWindow()) {
            dialog->open();
            app->MessageLoop();
        }
        delete dialog;
    }
    delete doc;
    setFileViewer(nullptr);
    freeResStringCache();
    app->exitCode = exitCode;
}
