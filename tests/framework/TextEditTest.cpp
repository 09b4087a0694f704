// Under wine: the text editor control loads and saves whole files (saving
// only through a checked write and rename) and lays its text out for
// printing page by page.
//
//   framework_textedit_test PNG-PATH   page 1 of the printed text is saved there
#include "Application.h"
#include "DeviceContext.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "TextEditCtrl.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using winecheck::check;

namespace {

class CountingSink : public ErrorSink {
public:
    void beep() override { ++beeps; }
    void showBox(const char*, const char*) override { ++boxes; }
    [[noreturn]] void endProcess(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
    int beeps = 0;
    int boxes = 0;
};

CountingSink sink;

std::string readAll(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "(missing)";
    int c;
    while ((c = getc(f)) != EOF)
        bytes += static_cast<char>(c);
    fclose(f);
    return bytes;
}

void writeAll(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::string controlText(TextEditCtrlCL* edit)
{
    int length = GetWindowTextLengthA(edit->hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(edit->hwnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

// Exactly size bytes of lines with CR LF and umlauts.
std::string sampleText(size_t size)
{
    const std::string line = "Regelkreis mit \xC4nderung der Gr\xF6\xDF" "e \xFC" "ber Zeit\r\n";
    std::string text;
    while (text.size() < size)
        text += line;
    text.resize(size);
    return text;
}

void loadAndSave(TextEditCtrlCL* edit, const std::string& dir)
{
    std::string exact = dir + "/exakt.txt";
    std::string over = dir + "/zugross.txt";
    writeAll(exact, sampleText(1000));
    writeAll(over, sampleText(1001));

    edit->setModified(1);
    check(edit->loadFile(exact.c_str()) == 1, "a file of the maximum size loads");
    check(controlText(edit) == sampleText(1000), "1000 bytes with CR LF and umlauts load exactly");
    check(edit->isModified() == 0, "loading clears the modified flag");

    sink.beeps = 0;
    check(edit->loadFile(over.c_str()) == 0, "a file one byte over the maximum is refused");
    check(sink.beeps == 1 && sink.boxes == 0, "with one beep");
    check(controlText(edit) == sampleText(1000), "the old text stays");
    check(edit->loadFile((dir + "/fehlt.txt").c_str()) == 0 && controlText(edit) == sampleText(1000),
          "a missing file is refused, the text stays");

    edit->setText("neu\r\nText");
    edit->setModified(1);
    check(edit->saveFile("") == 0 && edit->saveFile(nullptr) == 0, "an empty name saves nothing");
    check(edit->saveFile((dir + "/fehlt/x.txt").c_str()) == 0, "a missing directory gives 0");
    check(edit->isModified() == 1, "and the flag stays set");

    // The old file is longer: it is replaced whole.
    check(edit->saveFile(exact.c_str()) == 1, "saving over an existing file succeeds");
    check(readAll(exact) == "neu\r\nText", "the file is replaced whole");
    check(access((exact + ".new").c_str(), F_OK) != 0, "no temporary file is left");
    check(edit->isModified() == 0, "saving clears the flag");

    // A write that fails (the disk is full) keeps file and flag.
    if (access("/dev/full", W_OK) == 0 && symlink("/dev/full", (exact + ".new").c_str()) == 0) {
        edit->setText("verloren");
        edit->setModified(1);
        check(edit->saveFile(exact.c_str()) == 0, "a failing write gives 0");
        check(readAll(exact) == "neu\r\nText" && edit->isModified() == 1, "the file and the flag stay");
        unlink((exact + ".new").c_str());
    }
}

void printing(TextEditCtrlCL* edit, const std::string& picture)
{
    // A white 827 x 1169 page (A4 at 100 dpi) in memory.
    MemoryDC display(static_cast<Bitmap*>(nullptr));
    MemoryDC page(display, 827, 1169);
    TextMetrics metrics(page);
    int lineHeight = metrics.metrics.tmHeight + metrics.metrics.tmExternalLeading;
    int linesPerPage = 0;
    for (int y = 0; y < 1169 - lineHeight; y += lineHeight)
        ++linesPerPage;
    std::string text;
    for (int i = 0; i < 2 * linesPerPage + 5; ++i)
        text += "Zeile " + std::to_string(i + 1) + "\tWert\r\n";
    edit->setText(text.c_str());

    edit->preparePrint(page);
    int pages = 0;
    bool firstSaved = false;
    do {
        PatBlt(page.hdc, 0, 0, 827, 1169, WHITENESS);
        edit->printPage(page);
        ++pages;
        if (pages == 1) {
            RECT firstLine = {0, 0, 827, lineHeight};
            RECT below = {0, 6 * lineHeight, 827, 1169};
            check(winecheck::hasInk(page.hdc, firstLine, RGB(255, 255, 255)), "page 1 has ink in its first line");
            check(winecheck::hasInk(page.hdc, below, RGB(255, 255, 255)), "and further down");
            firstSaved = winecheck::savePicture(page.hdc, 0, 0, 827, 1169, picture);
        }
        if (pages == 3) {
            RECT below = {0, 6 * lineHeight, 827, 1169};
            check(!winecheck::hasInk(page.hdc, below, RGB(255, 255, 255)), "page 3 is white below its five lines");
        }
    } while (edit->nextPage() && pages < 10);
    printf("%d lines a page of %d px lines\n", linesPerPage, lineHeight);
    check(pages == 3, "the text prints on 3 pages");
    check(!edit->isPrinting(), "printing ends after the last page");
    check(picture.empty() || firstSaved, "page 1 is saved as a picture");

    // An empty text prints one empty page.
    edit->setText("");
    edit->preparePrint(page);
    edit->printPage(page);
    check(edit->nextPage() == 0, "an empty text has one page");
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    setErrorSink(&sink);
    disableErrorLog();
    std::string picture = winecheck::trimmedArgument(app->commandLine.text());
    char dirTemplate[] = "/tmp/kyt-textedit-XXXXXX";
    std::string dir = mkdtemp(dirTemplate) ? dirTemplate : "/tmp";
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(100, 100, 640, 480), WS_OVERLAPPEDWINDOW, "Editortest");
    frame->show(SW_SHOW);
    winecheck::pump();
    TextEditCtrlCL* edit = new TextEditCtrlCL(frame, new Geometry(5, 5, 600, 400), 1000);
    check(edit->hwnd && (GetWindowLongA(edit->hwnd, GWL_STYLE) & ES_MULTILINE), "the control is a multi-line edit");
    loadAndSave(edit, dir);
    printing(edit, picture);
    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
    std::string cleanup = "rm -rf " + dir;
    if (dir != "/tmp")
        system(cleanup.c_str());
    app->exitCode = winecheck::summary();
}
