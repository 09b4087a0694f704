// Under wine: the common file and colour dialogs, driven by a box watcher
// that types into the name field and presses a button.
#include "Application.h"
#include "CommonDialogs.h"
#include "Frame.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

using winecheck::check;

namespace {

const char* const kCircuits[] = {"Schaltungen (*.kyt)", "*.kyt", nullptr};
// The name field of the file dialogs: a combo box with an edit.
const int kNameCombo = 0x47c;

struct SaveRun {
    std::string shown;
    std::string path;
    int ok;
};

SaveRun saveAs(WindowCL* owner, int button, const char* typed)
{
    static const char kTitle[] = "Schaltung speichern";
    winecheck::BoxWatcher watcher(kTitle, kNameCombo, typed, button);
    FileSaveDialog dialog(owner, kTitle, "*.kyt", kCircuits);
    SaveRun run = {watcher.fieldBefore(), dialog.path, dialog.ok};
    return run;
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    char dirTemplate[] = "/tmp/kyt-dialogs-XXXXXX";
    if (mkdtemp(dirTemplate)) {
        std::string dos = std::string("Z:") + dirTemplate;
        SetCurrentDirectoryA(dos.c_str());
    }
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(100, 100, 640, 480), WS_OVERLAPPEDWINDOW, "Dialoge");
    frame->show(SW_SHOW);
    winecheck::pump();

    SaveRun saved = saveAs(frame, IDOK, "kreis");
    printf("save: shown \"%s\", path \"%s\", ok %d\n", saved.shown.c_str(), saved.path.c_str(), saved.ok);
    check(saved.shown.empty(), "a save dialog started with *.kyt shows an empty name");
    size_t n = saved.path.size();
    check(saved.ok == 1 && n >= 9 && saved.path.compare(n - 9, 9, "kreis.kyt") == 0, "\"kreis\" and OK give kreis.kyt");
    SaveRun cancelled = saveAs(frame, IDCANCEL, "anders");
    check(cancelled.ok == 0 && cancelled.path.empty(), "Cancel gives ok 0 and the path as it started");

    {
        // Wine's colour dialog has the caption "Color".
        winecheck::BoxWatcher watcher("Color", IDOK);
        COLORREF* custom = ColorChooser::customColors();
        check(custom[0] == RGB(255, 255, 255) && custom[15] == RGB(255, 255, 255), "custom colours start white");
        custom[3] = RGB(10, 20, 30);
        ColorChooser chooser(frame, Color(200, 100, 50));
        check(watcher.found(), "the colour dialog opened");
        check(chooser.ok == 1 && chooser.color.red == 200 && chooser.color.green == 100 && chooser.color.blue == 50,
              "OK gives the initial colour back");
        check(ColorChooser::customColors()[3] == RGB(10, 20, 30), "the custom colours are kept for the next dialog");
    }

    {
        // The font dialog keeps a given font and colour when confirmed.
        winecheck::BoxWatcher watcher("Font", IDOK);
        FontDescription start;
        memset(&start, 0, sizeof start);
        lstrcpyA(start.logFont.lfFaceName, "Liberation Sans");
        start.logFont.lfHeight = -16;
        start.logFont.lfWeight = FW_BOLD;
        start.pointSize = 120;
        FontChooser chooser(frame, Color(0, 0, 128), &start);
        check(watcher.found(), "the font dialog opened");
        check(chooser.ok == 1 && lstrcmpA(chooser.description.logFont.lfFaceName, "Liberation Sans") == 0,
              "OK gives the face back");
        check(chooser.description.logFont.lfWeight == FW_BOLD && chooser.description.pointSize > 0,
              "with its weight and a point size");
        check(chooser.color.red == 0 && chooser.color.green == 0 && chooser.color.blue == 128, "and the colour");
    }
    {
        winecheck::BoxWatcher watcher("Font", IDCANCEL);
        FontChooser cancelled(frame, Color(1, 2, 3));
        check(watcher.found() && cancelled.ok == 0, "Cancel gives ok 0");
        check(cancelled.color.red == 1 && cancelled.color.blue == 3, "and keeps the colour");
    }

    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
    std::string cleanup = std::string("rm -rf ") + dirTemplate;
    system(cleanup.c_str());
    app->exitCode = winecheck::summary();
}
