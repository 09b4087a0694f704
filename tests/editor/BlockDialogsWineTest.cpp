// Under wine: the editor's block dialogs run modally on sample blocks and
// are scripted by a thread timer that finds each dialog by its title, sends
// it selections, texts and clicks, and ends it itself. Each dialog is
// accepted and cancelled; the menus are read while they are tracked; the
// pane's picture goes to the clipboard.
//
//   editor_dialogs_test FOLDER     pictures go to FOLDER
#include "AboutDialog.h"
#include "Application.h"
#include "BlockDialogs.h"
#include "BlockMenus.h"
#include "EditorInstallation.h"
#include "EditorShell.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "GedPane.h"
#include "Layout.h"
#include "SignalNameRegistry.h"
#include "TablePane.h"
#include "TableModel.h"
#include "WinMap.h"
#include "WineCheck.h"
#include "WineRecordingSink.h"
#include "Workspace.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

using winecheck::check;

namespace {

const std::string kFixtures = KYT_FIXTURES;

using winecheck::RecordingSink;
RecordingSink sink;

// The shell's text editor and help viewer: the editor appends a line to the
// file (or removes it) and reports it saved.
class FakeShell : public EditorShell {
public:
    int editFile(const char* path, int readOnly) override
    {
        opened.push_back(path);
        readOnlyFlags.push_back(readOnly);
        if (removeFile)
            DeleteFileA(path);
        else if (!append.empty()) {
            HANDLE f = CreateFileA(path, FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            DWORD written = 0;
            if (f != INVALID_HANDLE_VALUE) {
                WriteFile(f, append.data(), static_cast<DWORD>(append.size()), &written, nullptr);
                CloseHandle(f);
            }
        }
        return saved;
    }
    void showText(const char* title, const char* text) override { shown.push_back(std::string(title) + "|" + text); }

    std::vector<std::string> opened;
    std::vector<int> readOnlyFlags;
    std::vector<std::string> shown;
    std::string append;
    bool removeFile = false;
    int saved = 1;
};
FakeShell shell;

// ---------------------------------------------------------------- scripting

struct Script {
    std::string title;
    std::function<void(HWND)> run;
    bool done;
};
Script* pending = nullptr;
UINT_PTR scriptTimer = 0;
int ticks = 0;

// A dialog that never showed its title: every visible window of the thread
// is named and cancelled, so that no modal run stays open.
BOOL CALLBACK cancelVisible(HWND hwnd, LPARAM)
{
    if (!IsWindowVisible(hwnd))
        return TRUE;
    char title[300] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    printf("visible: %s\n", title);
    PostMessageA(hwnd, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
    return TRUE;
}

BOOL CALLBACK findTitled(HWND hwnd, LPARAM found)
{
    char title[300] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    if (IsWindowVisible(hwnd) && pending && std::string(title).compare(0, pending->title.size(), pending->title) == 0) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK scriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!pending)
        return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findTitled, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog && ++ticks > 100) {
        KillTimer(nullptr, scriptTimer);
        printf("FAILED: no window titled %s\n", pending->title.c_str());
        ++winecheck::failures();
        pending = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), cancelVisible, 0);
        return;
    }
    if (!dialog)
        return;
    KillTimer(nullptr, scriptTimer);
    Script* s = pending;
    pending = nullptr;
    s->run(dialog);
    s->done = true;
}

// The next window whose title starts so is handed to run, which must end it.
void expect(Script& s)
{
    s.done = false;
    ticks = 0;
    pending = &s;
    scriptTimer = SetTimer(nullptr, 0, 40, scriptTick);
}

void click(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void setText(HWND dialog, int id, const char* text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::string textOf(HWND window)
{
    char text[1000] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void selectLine(HWND dialog, int id, int line)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int lineCount(HWND dialog, int id)
{
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), LB_GETCOUNT, 0, 0));
}

std::string line(HWND dialog, int id, int n)
{
    char text[300] = "";
    SendMessageA(GetDlgItem(dialog, id), LB_GETTEXT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(text));
    return text;
}

void setCheck(HWND dialog, int id, int on)
{
    SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, static_cast<WPARAM>(on), 0);
}

std::string blockFile(const std::string& dir, const char* name, const std::string& text)
{
    std::string path = dir + "/" + name;
    if (FILE* f = fopen(path.c_str(), "w")) {
        fputs(text.c_str(), f);
        fclose(f);
    }
    return path;
}

// ---------------------------------------------------------------- the tests

void selectBlock(WindowCL* frame, const std::string& folder)
{
    Workspace& w = *theWorkspace;
    // Library 0 is Standard; its first group's first block is hidden.
    w.libraries[0].sections[0].removed[0] = 1;
    bool viewed = false;
    Script pick{"Einf\xfcgen eines Blocks", [&](HWND d) {
                    selectLine(d, SelectBlockDialog::kLibraryList, 0);
                    selectLine(d, SelectBlockDialog::kGroupList, 0);
                    winecheck::saveWindowPicture(d, folder + "select-block-dialog.png");
                    check(lineCount(d, SelectBlockDialog::kBlockList) == 2 &&
                              line(d, SelectBlockDialog::kBlockList, 0) == "PID-Regler",
                          "select block: a hidden block is not listed");
                    selectLine(d, SelectBlockDialog::kBlockList, 1);
                    click(d, SelectBlockDialog::kEditBlock);
                    viewed = IsWindowVisible(d) && !shell.opened.empty() && shell.readOnlyFlags.back() == 1 &&
                             shell.opened.back().size() > 9 &&
                             shell.opened.back().compare(shell.opened.back().size() - 9, 9, "\\mimo.blk") == 0;
                    click(d, IDOK);
                }};
    expect(pick);
    SelectBlockDialog* dialog = new SelectBlockDialog(frame, kSelectBlockTemplate, 1, 0, &w.libraries, w.libraryCount);
    check(pick.done && dialog->accepted && dialog->groupIndex == 0 && dialog->blockIndex == 1,
          "select block: library, group and the second line are stored on OK");
    std::string path = dialog->blockFilePath().text();
    check(path.size() > 9 && path.compare(path.size() - 9, 9, "\\mimo.blk") == 0 &&
              std::string(dialog->libraryName().text()) == "Standard",
          "select block: the second visible line gives the third block's file");
    check(viewed, "select block: \"Bearbeite Block ...\" shows the chosen block's file read-only and stays open");
    delete dialog;
    w.libraries[0].sections[0].removed[0] = 0;

    // Library Local: an empty block list keeps the dialog open; its index
    // edited through the shell lists the new entry; a file that is gone
    // after the edit leaves the lists.
    int localCount = 0, afterAdd = 0, afterGone = 0;
    std::string lastAdded;
    bool stayed = false;
    Script local{"Einf\xfcgen eines Blocks", [&](HWND d) {
                     selectLine(d, SelectBlockDialog::kLibraryList, 1);
                     // The index as read at start, so that the edit adds one line.
                     shell.append.clear();
                     click(d, SelectBlockDialog::kEditIndex);
                     localCount = lineCount(d, SelectBlockDialog::kBlockList);
                     shell.saved = 1;
                     shell.append = "Zwei,zwei.blk\n";
                     click(d, SelectBlockDialog::kEditIndex);
                     afterAdd = lineCount(d, SelectBlockDialog::kBlockList);
                     lastAdded = line(d, SelectBlockDialog::kBlockList, afterAdd - 1);
                     shell.append.clear();
                     shell.removeFile = true;
                     click(d, SelectBlockDialog::kEditIndex);
                     shell.removeFile = false;
                     afterGone = lineCount(d, SelectBlockDialog::kBlockList);
                     click(d, IDCANCEL);
                 }};
    expect(local);
    dialog = new SelectBlockDialog(frame, kSelectBlockTemplate, 0, 0, &w.libraries, w.libraryCount);
    check(local.done && !dialog->accepted, "select block: Cancel ends without a result");
    check(afterAdd == localCount + 1 && lastAdded == "Zwei" && shell.opened.size() >= 1 && shell.readOnlyFlags.back() == 0,
          "select block: \"Bearbeite BFL ...\" opens the index editable and lists the added block");
    check(afterGone == afterAdd, "select block: an index that cannot be reopened leaves the lists");
    delete dialog;

    Script empty{"Einf\xfcgen eines Blocks", [&](HWND d) {
                     // Group 2 of Standard lies beyond library Local's groups.
                     selectLine(d, SelectBlockDialog::kLibraryList, 0);
                     selectLine(d, SelectBlockDialog::kGroupList, 2);
                     selectLine(d, SelectBlockDialog::kLibraryList, 1);
                     stayed = SendMessageA(GetDlgItem(d, SelectBlockDialog::kGroupList), LB_GETCURSEL, 0, 0) == 0;
                     SendMessageA(GetDlgItem(d, SelectBlockDialog::kBlockList), LB_RESETCONTENT, 0, 0);
                     click(d, IDOK);
                     stayed = stayed && IsWindowVisible(d);
                     click(d, IDCANCEL);
                 }};
    expect(empty);
    dialog = new SelectBlockDialog(frame, kSelectBlockTemplate, 0, 0, &w.libraries, w.libraryCount);
    check(empty.done && stayed && !dialog->accepted,
          "select block: a library with fewer groups selects group line 0; an empty block list keeps it open");
    delete dialog;
}

// A reference dialog of the same font gives MapDialogRect's pixels.
int mapDialogHeight(HWND owner, int units)
{
    struct {
        DLGTEMPLATE t;
        WORD menu, cls, title, point;
        WCHAR face[14];
    } tpl = {};
    tpl.t.style = WS_POPUP | DS_SETFONT;
    tpl.t.cx = 100;
    tpl.t.cy = 100;
    tpl.point = 8;
    MultiByteToWideChar(CP_ACP, 0, "MS Sans Serif", -1, tpl.face, 14);
    HWND reference = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, owner, nullptr, 0);
    RECT r = {0, 0, 275, units};
    MapDialogRect(reference, &r);
    DestroyWindow(reference);
    return r.bottom;
}

BOOL CALLBACK collectGroupBoxes(HWND child, LPARAM out)
{
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0 && (GetWindowLongA(child, GWL_STYLE) & 0xF) == BS_GROUPBOX)
        reinterpret_cast<std::vector<std::string>*>(out)->push_back(textOf(child));
    return TRUE;
}

void parameters(WindowCL* frame, CircuitModel& model, const std::string& dir, const std::string& folder)
{
    std::string file = blockFile(dir, "zweieins.blk",
                                 "BLOCK ZweiEins;\nINPUT u1 \"erster\"; u2;\nOUTPUT y \"Ausgang\";\n"
                                 "PARAMETER K = 1 \"Verst\xe4rkung\"; an = 2; name = 3;\nSIM\nENDBLOCK\n");
    BlockObject* block = model.createBlock(Point(30, 30), Point(0, 0), file.c_str(), "Standard", 1);
    check(block && block->parameterCount == 3, "the 2-1-3 block is made");
    if (!block)
        return;
    block->parameterKinds[1] = kParamBool;
    block->parameterKinds[2] = kParamText;
    int clientHeight = 0, mapped = 0;
    std::vector<std::string> boxes;
    bool checked = false, refused = false;
    std::vector<std::string> refusals;
    Script accept{"Parameter - ", [&](HWND d) {
                      RECT c;
                      GetClientRect(d, &c);
                      clientHeight = c.bottom;
                      mapped = mapDialogHeight(d, 130);
                      EnumChildWindows(d, collectGroupBoxes, reinterpret_cast<LPARAM>(&boxes));
                      checked = SendMessageA(GetDlgItem(d, kFirstParameterId + 1), BM_GETCHECK, 0, 0) == BST_CHECKED;
                      winecheck::saveWindowPicture(d, folder + "block-parameter-dialog.png");
                      sink.boxes.clear();
                      setText(d, kFirstParameterId, "1;2");
                      click(d, IDOK);
                      refused = IsWindowVisible(d) && GetFocus() == GetDlgItem(d, kFirstParameterId);
                      // A comma that is no decimal comma cannot be stored.
                      setText(d, kFirstParameterId, "1,5,3");
                      click(d, IDOK);
                      refused = refused && IsWindowVisible(d) && GetFocus() == GetDlgItem(d, kFirstParameterId);
                      setText(d, kFirstParameterId, "0,5");
                      setText(d, kFirstParameterId + 2, "a\"b");
                      click(d, IDOK);
                      refused = refused && IsWindowVisible(d) && GetFocus() == GetDlgItem(d, kFirstParameterId + 2);
                      refusals = sink.boxes;
                      setText(d, kFirstParameterId + 2, "Regler; 1");
                      click(d, IDOK);
                  }};
    expect(accept);
    BlockParameterDialog* dialog = new BlockParameterDialog(frame, block);
    check(accept.done && clientHeight == mapped && mapped > 0, "parameters: the 2-1-3 dialog is 130 units high");
    check(boxes == std::vector<std::string>({"Eing\xe4nge", "Ausg\xe4nge", "Parameter"}),
          "parameters: group boxes Eingaenge, Ausgaenge, Parameter");
    check(checked, "parameters: a check box with value 2 shows checked");
    check(refused, "parameters: 1;2 and 1,5,3 as plain value and a\"b as text keep the dialog open, the focus on the field");
    for (const std::string& r : refusals)
        printf("refused: %s\n", r.c_str());
    check(refusals.size() == 3 && refusals[0].find("Der Wert im Feld \"K\" l\xe4sst sich so nicht speichern: \"1;2\"") == 0 &&
              refusals[1].find("Im Feld \"K\"") == std::string::npos &&
              refusals[1].find("\"K\" l\xe4sst sich so nicht speichern: \"1,5,3\"") != std::string::npos &&
              refusals[2].find("Der Text im Feld \"name\" darf kein") == 0,
          "parameters: each refusal is a message naming the parameter (it was a beep alone)");
    dialog->applyValues();
    check(dialog->accepted && std::string(block->parameterValues[0].text()) == "0.5" &&
              std::string(block->parameterValues[1].text()) == "1" &&
              std::string(block->parameterValues[2].text()) == "Regler; 1",
          "parameters: OK stores the edits (0,5 as 0.5) and the check box as 1");
    // The saved circuit holds the point.
    char saved[] = "/tmp/kyt-parameters-XXXXXX";
    int fd = mkstemp(saved);
    FILE* out = fd >= 0 ? fdopen(fd, "w") : nullptr;
    std::string circuit;
    if (out) {
        model.writeCircuit(out, 0, 0);
        fclose(out);
        FILE* in = fopen(saved, "r");
        char line[400];
        while (in && fgets(line, sizeof line, in))
            circuit += line;
        if (in)
            fclose(in);
        remove(saved);
    }
    check(circuit.find("K = 0.5;") != std::string::npos && circuit.find("0,5") == std::string::npos,
          ("parameters: the circuit text holds K = 0.5 with a point" + std::string(circuit.empty() ? " (none written)" : "")).c_str());
    delete dialog;

    Script cancel{"Parameter - ", [&](HWND d) {
                      setText(d, kFirstParameterId, "99");
                      click(d, IDCANCEL);
                  }};
    expect(cancel);
    dialog = new BlockParameterDialog(frame, block);
    dialog->applyValues();
    check(cancel.done && !dialog->accepted && std::string(block->parameterValues[0].text()) == "0.5",
          "parameters: Cancel keeps every value");
    delete dialog;
}

void layoutAndMarks(WindowCL* frame, CircuitModel& model, const std::string& folder)
{
    BlockObject* block = model.createBlock(Point(2, 30), Point(0, 0), (kFixtures + "/standard/pt1.blk").c_str(),
                                           "Standard", 1);
    if (!block)
        return;
    std::string widthShown;
    Script accept{"Blockgestaltung", [&](HWND d) {
                      winecheck::saveWindowPicture(d, folder + "block-layout-dialog.png");
                      setText(d, 1015, "1");
                      SendMessageA(d, WM_COMMAND, MAKEWPARAM(1015, EN_KILLFOCUS),
                                   reinterpret_cast<LPARAM>(GetDlgItem(d, 1015)));
                      widthShown = textOf(GetDlgItem(d, 1015));
                      setText(d, 1016, "6");
                      SendMessageA(d, WM_COMMAND, MAKEWPARAM(1016, EN_KILLFOCUS),
                                   reinterpret_cast<LPARAM>(GetDlgItem(d, 1016)));
                      SendMessageA(GetDlgItem(d, 1027), CB_SETCURSEL, 2, 0);
                      click(d, IDOK);
                  }};
    expect(accept);
    BlockLayoutDialog* layout = new BlockLayoutDialog(frame, block);
    check(accept.done && layout->accepted && widthShown.find('4') != std::string::npos,
          "layout: a width of 1 shows 4 when the field is left");
    if (layout->accepted)
        layout->apply(*block);
    check(block->size == Point(4, 7) && block->layout[0] == 2, "layout: OK applies size 4 x 7 and the alignment");
    delete layout;
    Script cancel{"Blockgestaltung", [&](HWND d) {
                      setText(d, 1015, "20");
                      click(d, IDCANCEL);
                  }};
    expect(cancel);
    layout = new BlockLayoutDialog(frame, block);
    check(cancel.done && !layout->accepted, "layout: Cancel gives no values");
    delete layout;

    // Mark data: 1 output, 1 state, 2 parameters.
    std::string toggled, restored;
    int lines = 0;
    Script marks{"Markiere Signale", [&](HWND d) {
                     winecheck::saveWindowPicture(d, folder + "mark-data-dialog.png");
                     lines = lineCount(d, MarkDataDialog::kList);
                     SendMessageA(GetDlgItem(d, MarkDataDialog::kList), LB_SETCURSEL, 2, 0);
                     click(d, MarkDataDialog::kToggle);
                     toggled = line(d, MarkDataDialog::kList, 2);
                     click(d, MarkDataDialog::kToggle);
                     restored = line(d, MarkDataDialog::kList, 2);
                     click(d, MarkDataDialog::kMarkAll);
                     click(d, IDOK);
                 }};
    expect(marks);
    MarkDataDialog* markDialog = new MarkDataDialog(frame, block);
    check(marks.done && lines == 5 && toggled == "* dx (der.)" && restored == "  dx (der.)",
          "mark data: 5 lines; Aendern twice restores a mark");
    bool all = block->symbolMarks.size() >= 5;
    for (int i = 0; i < 5 && all; ++i)
        all = block->symbolMarks[i] == 1;
    check(all, "mark data: Alles markieren marks all 5");
    delete markDialog;
}

void textAndFrame(GedPane* pane, const std::string& folder)
{
    CircuitModel& model = pane->model();
    const int g = model.grid.x();
    BlockObject* text = model.createBlock(Point(2, 2), Point(6, 3), (kFixtures + "/standard/text.blk").c_str(),
                                          "Standard", 1);
    BlockObject* frameBlock = model.createBlock(Point(12, 2), Point(8, 6), (kFixtures + "/standard/frame.blk").c_str(),
                                                "Standard", 1);
    if (!text || !frameBlock)
        return;
    auto rightPress = [&](BlockObject* b) {
        POINT p = {b->position.x() * g + g * 2 + 3, b->position.y() * g + g + 3};
        PostMessageA(pane->hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
        winecheck::pump();
        PostMessageA(pane->hwnd, WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        winecheck::pump();
    };
    // The fixture's block has scale 1.5 and centred words already.
    text->scale = 1.0;
    text->layout[0] = text->layout[1] = text->layout[4] = 0;
    Script accept{"Blocktext ver\xe4ndern", [&](HWND d) {
                      winecheck::saveWindowPicture(d, folder + "text-block-dialog.png");
                      setText(d, TextBlockDialog::kTextField, "Regler\r\nKreis");
                      setText(d, TextBlockDialog::kFactorField, "1.5");
                      setCheck(d, TextBlockDialog::kCentreBox, 1);
                      click(d, IDOK);
                  }};
    expect(accept);
    rightPress(text);
    check(accept.done && text->textLines.size() == 2 && text->layout[0] == 1 && text->layout[1] == 1 &&
              text->layout[4] == 1 && text->scale == 1.5,
          "text block: a right press opens the dialog; OK gives 2 lines, words 1, 2, 5 = 1 and scale 1.5");
    Script huge{"Blocktext", [&](HWND d) {
                    setText(d, TextBlockDialog::kFactorField, "1e300");
                    click(d, IDOK);
                }};
    expect(huge);
    rightPress(text);
    check(huge.done && text->scale == 1.5, "text block: a factor of 1e300 keeps the old one");
    Script cancel{"Blocktext", [&](HWND d) {
                      setText(d, TextBlockDialog::kTextField, "anders");
                      click(d, IDCANCEL);
                  }};
    expect(cancel);
    rightPress(text);
    check(cancel.done && text->textLines.size() == 2, "text block: Cancel changes nothing");

    const Color colourBefore = frameBlock->textColour;
    const int outlineBefore = frameBlock->frameOutline, fillBefore = frameBlock->frameFill;
    bool colourBoxSeen = false;
    Script frameScript{"Rahmenparameter", [&](HWND d) {
                           winecheck::saveWindowPicture(d, folder + "frame-block-dialog.png");
                           setCheck(d, FrameBlockDialog::kOutlineBox, outlineBefore ? 0 : 1);
                           setCheck(d, FrameBlockDialog::kFillBox, fillBefore ? 0 : 1);
                           winecheck::BoxWatcher colours("*", IDCANCEL, 10000);
                           click(d, FrameBlockDialog::kOutlineChoose);
                           colourBoxSeen = colours.wait();
                           click(d, IDOK);
                       }};
    expect(frameScript);
    rightPress(frameBlock);
    check(frameScript.done && frameBlock->frameOutline == !outlineBefore && frameBlock->frameFill == !fillBefore,
          "frame block: the switches reach frameOutline and frameFill");
    check(colourBoxSeen && frameBlock->textColour == colourBefore, "frame block: a cancelled colour dialog keeps the colour");
    Script frameCancel{"Rahmenparameter", [&](HWND d) {
                           setCheck(d, FrameBlockDialog::kOutlineBox, outlineBefore);
                           click(d, IDCANCEL);
                       }};
    expect(frameCancel);
    rightPress(frameBlock);
    check(frameCancel.done && frameBlock->frameOutline == !outlineBefore, "frame block: Cancel changes nothing");
}

void signalNamesAndLaplace(WindowCL* frame, const std::string& folder)
{
    const int count = sNBase->count();
    int rows = -1;
    bool secondEmpty = true;
    std::string first = sNBase->nameAt(0).text();
    bool refused = false;
    Script accept{"Signalnamen bearbeiten", [&](HWND d) {
                      winecheck::saveWindowPicture(d, folder + "signal-name-dialog.png");
                      SignalNameDialog* dialog =
                          dynamic_cast<SignalNameDialog*>(theApplication->winMap->lookup(d));
                      if (!dialog) {
                          click(d, IDCANCEL);
                          return;
                      }
                      TableModelBase* m = dialog->table->getModel();
                      rows = static_cast<int>(m->fullRange().row2);
                      for (int r = 1; r <= rows; ++r) {
                          TableCell* cell = m->getCell(CellPos(2, r));
                          secondEmpty = secondEmpty && (!cell || cell->getText().empty());
                      }
                      // Typed into the first row's new-name cell.
                      dialog->table->setCurrentCell(CellPos(2, 1));
                      SendMessageA(dialog->table->hwnd, WM_CHAR, 'q', 1);
                      HWND edit = GetFocus();
                      SendMessageA(edit, WM_CHAR, '"', 1);
                      click(d, IDOK);
                      refused = IsWindowVisible(d) != 0;
                      dialog->table->setCurrentCell(CellPos(2, 1));
                      SendMessageA(dialog->table->hwnd, WM_CHAR, 'n', 1);
                      edit = GetFocus();
                      SendMessageA(edit, WM_CHAR, 'e', 1);
                      SendMessageA(edit, WM_CHAR, 'u', 1);
                      click(d, IDOK);
                  }};
    expect(accept);
    SignalNameDialog* dialog = new SignalNameDialog(frame, kSignalNameTemplate);
    check(accept.done && rows == count && secondEmpty,
          "signal names: one row per registered signal, the new names empty");
    check(refused, "signal names: a name with a quote keeps the dialog open");
    check(dialog->accepted && sNBase->contains("neu") && !sNBase->contains(first.c_str()),
          "signal names: a name typed in the second column is applied on OK");
    delete dialog;
    Script cancel{"Signalnamen bearbeiten", [&](HWND d) { click(d, IDCANCEL); }};
    expect(cancel);
    dialog = new SignalNameDialog(frame, kSignalNameTemplate);
    check(cancel.done && !dialog->accepted && sNBase->contains("neu"), "signal names: Cancel renames nothing");
    delete dialog;

    std::string shown;
    Script laplace{"Laplace Wizard", [&](HWND d) {
                       winecheck::saveWindowPicture(d, folder + "laplace-dialog.png");
                       shown = textOf(GetDlgItem(d, LaplaceWizardDialog::kTransferField));
                       setText(d, LaplaceWizardDialog::kTransferField, "1/(s+1)");
                       click(d, IDOK);
                   }};
    expect(laplace);
    LaplaceWizardDialog* wizard = new LaplaceWizardDialog(frame, kLaplaceTemplate, "K/(1+T*s)");
    check(laplace.done && shown == "K/(1+T*s)" && wizard->accepted && std::string(wizard->transfer.text()) == "1/(s+1)",
          "Laplace: opens with the given text and returns the edited one");
    delete wizard;
    // A coefficient with a decimal comma is handed on with a point; a comma
    // that is none keeps the dialog open, naming the field.
    bool laplaceRefused = false;
    Script laplaceComma{"Laplace Wizard", [&](HWND d) {
                            sink.boxes.clear();
                            setText(d, LaplaceWizardDialog::kTransferField, "1/(1+s,5)");
                            click(d, IDOK);
                            laplaceRefused = IsWindowVisible(d) && sink.boxes.size() == 1 &&
                                             sink.boxes[0].find("Der Wert im Feld \"\xdc" "bertragungsfunktion G(s) oder G(z)\"") == 0 &&
                                             GetFocus() == GetDlgItem(d, LaplaceWizardDialog::kTransferField);
                            setText(d, LaplaceWizardDialog::kTransferField, "0,5/(1+2,5*s)");
                            click(d, IDOK);
                        }};
    expect(laplaceComma);
    wizard = new LaplaceWizardDialog(frame, kLaplaceTemplate, "K");
    check(laplaceRefused, "Laplace: a comma that is no decimal comma is refused naming the field");
    check(laplaceComma.done && wizard->accepted && std::string(wizard->transfer.text()) == "0.5/(1+2.5*s)",
          ("Laplace: 0,5/(1+2,5*s) is handed on as 0.5/(1+2.5*s): " + std::string(wizard->transfer.text())).c_str());
    delete wizard;
    Script laplaceCancel{"Laplace Wizard", [&](HWND d) {
                             setText(d, LaplaceWizardDialog::kTransferField, "s");
                             click(d, IDCANCEL);
                         }};
    expect(laplaceCancel);
    wizard = new LaplaceWizardDialog(frame, kLaplaceTemplate, "K");
    check(laplaceCancel.done && !wizard->accepted, "Laplace: Cancel gives no text");
    delete wizard;
}

// ---------------------------------------------------------------- menus

std::string menuText(HMENU menu, int position)
{
    char text[200] = "";
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

struct MenuRead {
    GedPane* pane;
    bool insert;
    std::vector<std::string> seen;
    bool done;
};
MenuRead* menuRead = nullptr;
UINT_PTR menuTimer = 0;

void CALLBACK readMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (!menuRead)
        return;
    HMENU menu = nullptr;
    if (menuRead->insert && menuRead->pane->lastInsertMenu())
        menu = menuRead->pane->lastInsertMenu()->handle();
    if (!menuRead->insert && menuRead->pane->lastBlockMenu())
        menu = menuRead->pane->lastBlockMenu()->handle();
    if (!menu)
        return;
    KillTimer(nullptr, menuTimer);
    std::vector<std::string>& seen = menuRead->seen;
    if (menuRead->insert) {
        // Block > library > group > blocks.
        seen.push_back(menuText(menu, 0));
        HMENU libraries = GetSubMenu(menu, 0);
        HMENU standard = libraries ? GetSubMenu(libraries, 0) : nullptr;
        seen.push_back(libraries ? menuText(libraries, 0) : "");
        HMENU group = standard ? GetSubMenu(standard, 0) : nullptr;
        seen.push_back(standard ? menuText(standard, 0) : "");
        for (int i = 0; group && i < GetMenuItemCount(group); ++i)
            seen.push_back(menuText(group, i));
    } else {
        for (int i = 3; i <= 4; ++i)
            seen.push_back(std::to_string(GetMenuItemID(menu, i)) + " " + menuText(menu, i));
    }
    menuRead->done = true;
    menuRead = nullptr;
    EndMenu();
}

void menus(GedPane* pane)
{
    CircuitModel& model = pane->model();
    const int g = model.grid.x();
    Workspace& w = *theWorkspace;
    w.libraries[0].sections[0].removed[1] = 1;  // PID-Regler hidden
    MenuRead insert{pane, true, {}, false};
    menuRead = &insert;
    menuTimer = SetTimer(nullptr, 0, 60, readMenu);
    POINT empty = {60 * g, 60 * g};
    PostMessageA(pane->hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(empty.x % 30000, empty.y % 30000));
    winecheck::pump();
    check(insert.done && insert.seen == std::vector<std::string>({"Block", "Standard", "Lineare Bl\xf6""cke", "PT1", "MIMO"}),
          "menus: the insert menu has Block > library > group > blocks, the hidden one absent");
    w.libraries[0].sections[0].removed[1] = 0;

    BlockObject* library = model.createBlock(Point(40, 2), Point(0, 0), (kFixtures + "/standard/pt1.blk").c_str(),
                                             "Standard", 1);
    BlockObject* local = model.createBlock(Point(40, 10), Point(0, 0), (kFixtures + "/standard/pt1.blk").c_str(),
                                           "Standard", 1);
    if (!library || !local)
        return;
    local->wizardFlag = 1;
    for (BlockObject* b : {local, library}) {
        MenuRead read{pane, false, {}, false};
        menuRead = &read;
        menuTimer = SetTimer(nullptr, 0, 60, readMenu);
        PostMessageA(pane->hwnd, WM_RBUTTONDOWN, MK_RBUTTON,
                     MAKELPARAM(b->position.x() * g + 2 * g + 2, b->position.y() * g + 2));
        winecheck::pump();
        if (b == local)
            check(read.done && read.seen.size() == 2 && read.seen[0] == "172 &Bearbeiten ..." &&
                      read.seen[1].compare(0, 5, "18047") != 0,
                  "menus: a Local block's menu has 172 &Bearbeiten ... at 3 and no 18047");
        else
            check(read.done && read.seen == std::vector<std::string>({"172 &Quelltext sichten ...",
                                                                      "18047 &Nach Local kopieren"}),
                  "menus: a library block's menu has 172 at 3 and 18047 at 4");
    }
}

void clipboard(GedPane* pane)
{
    CircuitModel& model = pane->model();
    const int g = model.grid.x();
    model.clear();
    BlockObject* block = model.createBlock(Point(2, 2), Point(6, 4), (kFixtures + "/standard/mimo.blk").c_str(),
                                           "Standard", 1);
    if (!block)
        return;
    pane->invalidateAll();
    winecheck::pump();
    RECT client;
    GetClientRect(pane->hwnd, &client);
    check(pane->copyToClipboard() == 1, "clipboard: copyToClipboard gives 1");
    bool sized = false, white = false, black = false;
    if (OpenClipboard(pane->hwnd)) {
        HBITMAP picture = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        BITMAP info = {};
        if (picture && GetObjectA(picture, sizeof info, &info)) {
            sized = info.bmWidth == client.right && info.bmHeight == client.bottom;
            HDC screen = GetDC(nullptr);
            HDC memory = CreateCompatibleDC(screen);
            HGDIOBJ old = SelectObject(memory, picture);
            white = GetPixel(memory, 2 * g + g / 2, 3 * g + g / 2 + 2) == RGB(255, 255, 255);
            for (int x = 2 * g - 2; x <= 2 * g + 2 && !black; ++x)
                black = GetPixel(memory, x, 4 * g + 3) == RGB(0, 0, 0);
            SelectObject(memory, old);
            DeleteDC(memory);
            ReleaseDC(nullptr, screen);
        }
        CloseClipboard();
    }
    check(sized, "clipboard: the bitmap has the pane's client size");
    check(white && black, "clipboard: the picture shows the block's white fill and black frame");
}

// "Mmm dd yyyy hh:mm:ss" as the compiler writes the build's date and time.
bool buildStamp(const std::string& s)
{
    if (s.size() != 20)
        return false;
    const char* pattern = "Aaa dd dddd dd:dd:dd";
    for (size_t i = 0; i < s.size(); ++i) {
        char p = pattern[i], c = s[i];
        bool ok = p == 'A' ? (c >= 'A' && c <= 'Z') : p == 'a' ? (c >= 'a' && c <= 'z')
                : p == 'd' ? ((c >= '0' && c <= '9') || (i == 4 && c == ' ')) : c == p;
        if (!ok)
            return false;
    }
    return true;
}

void about(WindowCL* frame, const std::string& folder)
{
    HBITMAP picture = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAboutBitmap));
    BITMAP info = {};
    GetObjectA(picture, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, picture);
    COLORREF corner = GetPixel(memory, 0, 0);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);

    int clientWidth = 0;
    COLORREF shown = CLR_INVALID;
    std::string version;
    Script script{"Info", [&](HWND d) {
                      AboutDialog* dialog = dynamic_cast<AboutDialog*>(theApplication->winMap->lookup(d));
                      RECT c;
                      GetClientRect(d, &c);
                      clientWidth = c.right;
                      RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                      if (dialog) {
                          shown = winecheck::pixelOf(dialog->picturePane->hwnd, 0, 0);
                          if (!dialog->textPane->drawnLines.empty())
                              version = dialog->textPane->drawnLines[0];
                      }
                      winecheck::saveWindowPicture(d, folder + "about-box.png");
                      click(d, IDOK);
                  }};
    expect(script);
    AboutDialog* dialog = new AboutDialog(frame);
    check(script.done && clientWidth == info.bmWidth && info.bmWidth > 0,
          "About: the client width is bitmap 9000's width");
    check(version.size() == 10 + 20 + 7 && version.compare(0, 10, "Rev -- -- ") == 0 &&
              buildStamp(version.substr(10, 20)) && version.compare(30, 7, " 64 bit") == 0,
          "About: the version line is Rev -- -- date time 64 bit");
    check(shown == corner, "About: pixel (0, 0) is the bitmap's");
    delete dialog;
}

void run(const std::string& folder, const std::string& dir)
{
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(20, 20, 900, 650), WS_OVERLAPPEDWINDOW, "Schaltung");
    GedPane* pane = new GedPane(frame, new FillLayout, WS_CHILD | WS_VISIBLE);
    pane->readIniSetup(("Z:" + dir).c_str());
    pane->model().setZoom(21, 21);
    frame->show(SW_SHOWNORMAL);
    pane->show(SW_SHOW);
    winecheck::pump();

    selectBlock(frame, folder);
    parameters(frame, pane->model(), dir, folder);
    layoutAndMarks(frame, pane->model(), folder);
    textAndFrame(pane, folder);
    signalNamesAndLaplace(frame, folder);
    menus(pane);
    clipboard(pane);
    about(frame, folder);

    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(150);
    setErrorSink(&sink);
    disableErrorLog();
    setEditorShell(&shell);
    std::string folder = winecheck::trimmedArgument(app->commandLine.text());
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    char tmpl[] = "/tmp/kyt-dialogs-XXXXXX";
    std::string dir = mkdtemp(tmpl) ? tmpl : "/tmp";
    makeEditorInstallation(dir, kFixtures);
    // Library Local with one block in its index.
    blockFile(dir, "local/ablocks.bfl", "$Local\nEins,eins.blk\n");
    Workspace workspace;
    setWorkspace(&workspace);
    run(folder, dir);
    setWorkspace(nullptr);
    setEditorShell(nullptr);
    system(("rm -rf '" + dir + "'").c_str());
    app->exitCode = winecheck::summary();
}
