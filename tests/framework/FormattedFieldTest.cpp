// Under wine: formatted edit fields in a field dialog of our own template,
// driven by messages (WM_CHAR, WM_KEYDOWN with Shift and Ctrl held through
// SetKeyboardState, WM_PASTE), the texts read back with GetWindowTextA; the
// cp1252 character table against the ANSI character functions; and, with
// --intl, an [intl] number format written into the throw-away prefix.
//
//   framework_formattedfield_test PNG-PATH
//   framework_formattedfield_test --intl
#include "Application.h"
#include "CharClass.h"
#include "Clipboard.h"
#include "Dialog.h"
#include "ErrorReporter.h"
#include "FormattedEdit.h"
#include "Frame.h"
#include "Profile.h"
#include "String.h"
#include "WineCheck.h"
#include "WineRecordingSink.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using winecheck::check;
using winecheck::pixelOf;

namespace {

const int kFieldsDialog = 200;

using winecheck::RecordingSink;

RecordingSink sink;

void holdKey(int key, bool held)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[key] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

std::string textOf(HWND hwnd)
{
    char buffer[512] = "";
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

Selection selectionOf(HWND hwnd)
{
    DWORD s = 0, e = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return Selection{static_cast<int>(s), static_cast<int>(e)};
}

void type(HWND hwnd, const char* text)
{
    for (const char* c = text; *c; ++c)
        SendMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

void putClipboard(HWND owner, const std::string& text)
{
    Clipboard clipboard(owner);
    clipboard.empty();
    clipboard.putText(text.c_str());
}

std::string clipboardText(HWND owner)
{
    Clipboard clipboard(owner);
    char* text = clipboard.getText();
    std::string result = text ? text : "";
    delete[] text;
    return result;
}

void pressButton(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// ---------------------------------------------------------------- character table

void testCharacterTable()
{
    int wrong = 0;
    for (int c = 0; c < 256; ++c) {
        const CHAR ch = static_cast<CHAR>(c);
        char up[2] = {ch, 0}, low[2] = {ch, 0};
        CharUpperA(up);
        CharLowerA(low);
        const unsigned char u = static_cast<unsigned char>(c);
        bool same = charclass::isLetter(u) == (IsCharAlphaA(ch) != 0) &&
                    charclass::isAlphaNumeric(u) == (IsCharAlphaNumericA(ch) != 0) &&
                    charclass::isUpper(u) == (IsCharUpperA(ch) != 0) &&
                    charclass::isLower(u) == (IsCharLowerA(ch) != 0) &&
                    charclass::toUpper(u) == static_cast<unsigned char>(up[0]) &&
                    charclass::toLower(u) == static_cast<unsigned char>(low[0]);
        if (!same && c != 0) {
            printf("  byte 0x%02X differs from the ANSI character functions\n", c);
            ++wrong;
        }
    }
    check(wrong == 0, "the cp1252 table agrees with IsCharAlpha/AlphaNumeric/Upper/Lower and CharUpper/CharLower");
}

// ---------------------------------------------------------------- the field dialog

struct Variables {
    int grid = 7;
    int value = -42;
    String pattern;
    String digits;
};

struct Fields {
    IntFieldCL* grid;
    IntFieldCL* value;
    StringFieldCL* pattern;
    StringFieldCL* digits;
};

FieldDialogCL* makeDialog(FrameWindowCL* frame, Variables& v, Fields* fields = nullptr)
{
    FieldDialogCL* dialog = new FieldDialogCL(frame, ResourceId(kFieldsDialog));
    IntFieldCL* grid = new IntFieldCL(dialog, 101, &v.grid, "##", 0x100u);
    IntFieldCL* value = new IntFieldCL(dialog, 102, &v.value, 0u);
    StringFieldCL* pattern = new StringFieldCL(dialog, 103, &v.pattern, "99'-'99", 0x200000u);
    StringFieldCL* digits = new StringFieldCL(dialog, 104, &v.digits, 0x0002u);
    if (fields)
        *fields = Fields{grid, value, pattern, digits};
    return dialog;
}

class Script {
public:
    Script(FieldDialogCL* d, Variables* v, const std::string& p) : dialog(d), vars(v), picture(p) {}
    HWND item(int id) const { return GetDlgItem(dialog->hwnd, id); }

    // Typing, a failed OK, the correction and the OK that stores.
    LRESULT typeAndConfirm(EventRecord*)
    {
        check(textOf(item(101)) == "7" && textOf(item(102)) == "-42" && textOf(item(103)) == "##-##" &&
                  textOf(item(104)).empty(),
              "on opening the fields show 7, -42, ##-## and nothing");
        SendMessageA(item(101), EM_SETSEL, 1, 1);
        type(item(101), "5");
        SendMessageA(item(103), EM_SETSEL, 0, 0);
        type(item(103), "123");
        Selection caret = selectionOf(item(103));
        check(textOf(item(101)) == "75" && textOf(item(103)) == "12-3#" && caret.start == 4,
              "typed digits show 75 and 12-3# with the caret after the 3");
        type(item(101), "3");
        check(textOf(item(101)) == "75", "a third digit into \"##\" changes nothing");
        type(item(104), "a");
        check(textOf(item(104)).empty(), "a letter typed into the digits-only field is refused");

        pressButton(dialog->hwnd, IDOK);
        Selection at = selectionOf(item(104));
        check(GetFocus() == item(104) && at.start == 0 && at.end == 0 && vars->grid == 7 && vars->value == -42 &&
                  std::string(vars->pattern.text()).empty() && dialog->accepted == 0 && IsWindowVisible(dialog->hwnd),
              "OK with the empty digits field focuses it, caret at 0, and changes no variable");

        type(item(104), "5");
        RedrawWindow(dialog->hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        winecheck::pump();
        check(winecheck::saveWindowPicture(dialog->hwnd, picture), "the picture of the formatted fields is saved");
        RECT inside;
        GetClientRect(item(101), &inside);
        check(pixelOf(item(101), inside.right - 3, inside.bottom / 2) != GetSysColor(COLOR_BTNFACE),
              "the inside of field 101 differs from the dialog face");
        pressButton(dialog->hwnd, IDOK);
        return 1;
    }

    // Enter, the clipboard keys, too long pastes, then Esc.
    LRESULT keysAndEscape(EventRecord*)
    {
        HWND digits = item(104);
        std::string before = textOf(item(101));
        SendMessageA(item(101), EM_SETSEL, 0, 0);
        type(item(101), "\r");
        check(textOf(item(101)) == before, "Enter inserts nothing");

        struct Cut {
            const char* what;
            int key;
            int modifier; // 0: none
            bool copies;
        } cuts[] = {
            {"Shift+Delete puts 23 on the clipboard and leaves 145", VK_DELETE, VK_SHIFT, true},
            {"Ctrl+X puts 23 on the clipboard and leaves 145", 'X', VK_CONTROL, true},
            {"plain Delete leaves 145 and the clipboard alone", VK_DELETE, 0, false},
        };
        for (const Cut& c : cuts) {
            putClipboard(dialog->hwnd, "zz");
            SetWindowTextA(digits, "12345");
            SendMessageA(digits, EM_SETSEL, 1, 3);
            if (c.modifier)
                holdKey(c.modifier, true);
            SendMessageA(digits, WM_KEYDOWN, c.key, 1);
            if (c.modifier)
                holdKey(c.modifier, false);
            // The character Windows makes of Ctrl+X reaches the field and is dropped.
            if (c.key == 'X')
                SendMessageA(digits, WM_CHAR, 0x18, 1);
            std::string clip = clipboardText(dialog->hwnd);
            check(textOf(digits) == "145" && clip == (c.copies ? "23" : "zz"), c.what);
        }
        // Shift+Delete makes no character message: the next key must arrive.
        SetWindowTextA(digits, "145");
        SendMessageA(digits, EM_SETSEL, 1, 1);
        holdKey(VK_SHIFT, true);
        SendMessageA(digits, WM_KEYDOWN, VK_DELETE, 1);
        holdKey(VK_SHIFT, false);
        type(digits, "6");
        check(textOf(digits) == "165", "after Shift+Delete the next typed key is not swallowed");

        // Nothing longer than a field holds gets in by the clipboard.
        putClipboard(dialog->hwnd, std::string(300, '7'));
        bool unchanged = true;
        for (int id = 101; id <= 104; ++id) {
            std::string was = textOf(item(id));
            SendMessageA(item(id), EM_SETSEL, 0, -1);
            SendMessageA(item(id), WM_PASTE, 0, 0);
            unchanged = unchanged && textOf(item(id)) == was;
        }
        check(unchanged, "a 300-character paste changes no field");
        putClipboard(dialog->hwnd, "9");
        SendMessageA(item(102), EM_SETSEL, 0, -1);
        SendMessageA(item(102), WM_PASTE, 0, 0);
        check(textOf(item(102)) == "-9", "a short paste replaces the selected digits through the mask");

        SendMessageA(item(101), WM_CHAR, 27, 1);
        return 1;
    }

    // A value no int holds.
    LRESULT overflow(EventRecord*)
    {
        SendMessageA(item(101), EM_SETSEL, 0, -1);
        type(item(101), "9999999999");
        check(textOf(item(101)) == "9999999999", "ten nines fit a ten-digit mask");
        pressButton(dialog->hwnd, IDOK);
        Selection at = selectionOf(item(101));
        check(dialog->accepted == 0 && IsWindowVisible(dialog->hwnd) && GetFocus() == item(101) && at.start == 10,
              "a value past the int range fails validation with the caret at the end");
        pressButton(dialog->hwnd, IDCANCEL);
        return 1;
    }

    FieldDialogCL* dialog;
    Variables* vars;
    std::string picture;
};

void runScripted(FieldDialogCL* dialog, Script& script, LRESULT (Script::*step)(EventRecord*))
{
    dialog->AddEventHandler(&script, step, WM_APP + 20);
    PostMessageA(dialog->hwnd, WM_APP + 20, 0, 0);
    dialog->runModal();
}

void testFields(FrameWindowCL* frame, const std::string& picture)
{
    Variables vars;
    FieldDialogCL* dialog = makeDialog(frame, vars);
    Script script(dialog, &vars, picture);
    runScripted(dialog, script, &Script::typeAndConfirm);
    printf("stored: %d, %d, \"%s\", \"%s\", accepted %d\n", vars.grid, vars.value, vars.pattern.text(),
           vars.digits.text(), dialog->accepted);
    check(dialog->accepted == 1 && vars.grid == 75 && vars.value == -42 &&
              std::string(vars.pattern.text()) == "12-3" && std::string(vars.digits.text()) == "5",
          "OK stores 75, -42, 12-3 and 5");
    delete dialog;

    Variables kept = vars;
    dialog = makeDialog(frame, vars);
    Script keys(dialog, &vars, picture);
    runScripted(dialog, keys, &Script::keysAndEscape);
    check(dialog->accepted == 0 && vars.grid == kept.grid && vars.value == kept.value &&
              std::string(vars.digits.text()) == kept.digits.text(),
          "Esc in a field ends the dialog as Cancel and stores nothing");
    delete dialog;

    // A bound text far longer than the mask loads without harm.
    Variables longText;
    longText.pattern = String(std::string(300, '1').c_str());
    dialog = makeDialog(frame, longText);
    check(textOf(GetDlgItem(dialog->hwnd, 103)) == "##-##", "a 300-character String leaves the mask field empty");
    delete dialog;

    // The created forms: new bordered edits in the frame.
    int createdValue = -42;
    String createdText = "1234";
    IntFieldCL* createdInt = new IntFieldCL(frame, new Geometry(10, 10, 120, 24), 0, 301, &createdValue, 0u);
    StringFieldCL* createdMask =
        new StringFieldCL(frame, new Geometry(10, 40, 120, 24), 0, 302, &createdText, "99'-'99", 0u);
    FormattedEditCL* createdUpper =
        new FormattedEditCL(frame, new Geometry(10, 70, 120, 24), 0, "abc", 303, new CharFilter(0x4000), 0x4000);
    check(textOf(createdInt->hwnd) == "-42" && textOf(createdMask->hwnd) == "12-34" &&
              textOf(createdUpper->hwnd) == "ABC",
          "created fields show -42, 12-34 and the initial text through their formatter");
    createdUpper->insertText("de");
    String upper = createdUpper->getValue(0);
    check(std::string(upper.text()) == "ABCDE",
          "insertText goes through the formatter");
    delete createdInt;
    delete createdMask;
    delete createdUpper;

    // Ten digit positions, and a value past the int range.
    int wide = 12;
    Variables rest;
    dialog = new FieldDialogCL(frame, ResourceId(kFieldsDialog));
    new IntFieldCL(dialog, 101, &wide, "##########", 0u);
    Script tooBig(dialog, &rest, picture);
    runScripted(dialog, tooBig, &Script::overflow);
    check(wide == 12, "the variable of the overflowing field is left alone");
    delete dialog;
}

// ---------------------------------------------------------------- [intl]

void testIntl(FrameWindowCL* frame)
{
    char oldDecimal[16] = "", oldThousand[16] = "";
    GetProfileStringA("intl", "sDecimal", ".", oldDecimal, sizeof oldDecimal);
    GetProfileStringA("intl", "sThousand", ",", oldThousand, sizeof oldThousand);
    WriteProfileStringA("intl", "sDecimal", ",");
    WriteProfileStringA("intl", "sThousand", ".");
    // Where wine keeps the section: the registry's International key, or WIN.INI.
    HKEY key;
    char stored[16] = "";
    DWORD size = sizeof stored;
    bool inRegistry = RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, KEY_READ, &key) == 0;
    if (inRegistry) {
        inRegistry = RegQueryValueExA(key, "sDecimal", nullptr, nullptr, reinterpret_cast<BYTE*>(stored), &size) == 0 &&
                     std::strcmp(stored, ",") == 0;
        RegCloseKey(key);
    }
    printf("[intl] of WIN.INI is kept %s\n",
           inRegistry ? "in the registry (HKCU\\Control Panel\\International)" : "in win.ini");

    int value = -1234;
    FieldDialogCL* dialog = new FieldDialogCL(frame, ResourceId(kFieldsDialog));
    IntFieldCL* field = new IntFieldCL(dialog, 101, &value, "-#,###", 0u);
    std::string shown = textOf(field->hwnd);
    value = 0;
    int ok = dialog->validateAll();
    // Put back at once: the prefix is shared with the other tests.
    WriteProfileStringA("intl", "sDecimal", oldDecimal);
    WriteProfileStringA("intl", "sThousand", oldThousand);
    printf("shown \"%s\", stored %d\n", shown.c_str(), value);
    check(shown == "-1.234" && ok && value == -1234, "with sDecimal \",\" and sThousand \".\" -1234 shows -1.234 and stores -1234");
    delete dialog;
}


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    setErrorSink(&sink);
    disableErrorLog();
    std::string argument = winecheck::trimmedArgument(app->commandLine.text());
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(100, 100, 480, 320), WS_OVERLAPPEDWINDOW, "Feldtest");
    frame->show(SW_SHOW);
    winecheck::pump();
    if (argument == "--intl") {
        testIntl(frame);
    } else {
        testCharacterTable();
        testFields(frame, argument);
    }
    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
    app->exitCode = winecheck::summary();
}
