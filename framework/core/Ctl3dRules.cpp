#include "Ctl3dRules.h"

#include "Profile.h"

#include <algorithm>
#include <cstdio>

int buttonImageCell(uint32_t style, bool twoState, int state, bool disabled)
{
    const uint32_t look = style & 0x30;
    // Mode 0 the latched images, 1 the up ones, 2 cell 3, 3 cell 2.
    int mode = 1;
    if (state == BUTTON_DISABLED)
        disabled = true;
    else if (state == BUTTON_LATCHED && twoState)
        mode = (look == 0x20 || look == 0x30) ? 0 : 1;
    else if (state == BUTTON_PRESSED_LATCHED || state == BUTTON_PRESSED_UP) {
        if (!twoState)
            mode = (look == 0x10 || look == 0x20) ? 3 : 1;
        else if (look == 0x10 || look == 0x20)
            mode = state == BUTTON_PRESSED_LATCHED ? 2 : 3;
        else if (look == 0x30)
            mode = state == BUTTON_PRESSED_LATCHED ? 0 : 1;
    }
    switch (mode) {
    case 0: return disabled ? 5 : 4;
    case 2: return 3;
    case 3: return 2;
    default: return disabled ? 1 : 0;
    }
}

MnemonicText parseMnemonic(const std::string& label)
{
    MnemonicText r{std::string(), -1};
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] != '&') {
            r.text += label[i];
            continue;
        }
        if (i + 1 < label.size() && label[i + 1] == '&') {
            r.text += '&';
            ++i;
        } else if (i + 1 < label.size()) {
            r.mnemonic = static_cast<int>(r.text.size());
        }
    }
    return r;
}

TextEffect textEffect(uint32_t style, const TextEffect& previous)
{
    switch (style & 0x1C0) {
    case 0x000: return TextEffect{EFFECT_NONE, EFFECT_NONE};
    case 0x080: return TextEffect{EFFECT_NONE, EFFECT_WHITE};
    case 0x0C0: return TextEffect{EFFECT_GRAY, EFFECT_WHITE};
    case 0x100: return TextEffect{EFFECT_WHITE, EFFECT_NONE};
    case 0x140: return TextEffect{EFFECT_WHITE, EFFECT_GRAY};
    default: return previous;
    }
}

int effectExtra(uint32_t style)
{
    const uint32_t e = style & 0x1C0;
    return (e == 0x080 || e == 0x0C0 || e == 0x140) ? 2 : 1;
}

int effectOffset(uint32_t style)
{
    const uint32_t e = style & 0x1C0;
    return (e == 0x000 || e == 0x080) ? 0 : 1;
}

int checkLabelX(uint32_t style, int parentX)
{
    return parentX + ((style & 0x20) ? 1 : 19);
}

bool groupLabelX(uint32_t style, int parentX, int parentWidth, int textWidth, int& x)
{
    switch (style & 0x1800) {
    case 0x800: x = parentX + 6; return true;
    case 0x1000: x = parentX + (parentWidth - textWidth) / 2; return true;
    case 0x1800: x = parentX + parentWidth - textWidth - 6; return true;
    default: return false;
    }
}

int panelLabelX(uint32_t style, int parentX, int parentWidth, int innerLeft, int innerRight, int textWidth)
{
    if (style & 1)
        return parentX + (parentWidth - textWidth) / 2;
    if (style & 2)
        return parentX + innerRight - textWidth - 1;
    return parentX + innerLeft + 1;
}

void panelBevel(uint32_t style, int& width, int& gap)
{
    if (width == 999 && gap == 999) {
        width = static_cast<int>((style & 0x38) >> 3);
        gap = static_cast<int>((style & 0x3800) >> 11);
    }
}

int statusBarHeight(int fontHeight, int border, int verticalMargin, int innerTop)
{
    return fontHeight + 2 * border + 2 + verticalMargin + innerTop;
}

ClockFormat readClockFormat(ProfileSource* profile)
{
    ClockFormat f{0, ":", "AM", "PM"};
    if (!profile)
        return f;
    const std::string t = profile->readString("intl", "iTime", "0", 15);
    f.iTime = atoi(t.c_str());
    f.separator = profile->readString("intl", "sTime", ":", 1);
    f.morning = profile->readString("intl", "s1159", "AM", 4);
    f.evening = profile->readString("intl", "s2359", "PM", 4);
    return f;
}

std::string clockText(const ClockFormat& f, int hour, int minute)
{
    char text[40];
    if (f.iTime == 1) {
        snprintf(text, sizeof text, "%02d%s%02d", hour, f.separator.c_str(), minute);
    } else {
        int h12 = hour % 12;
        if (h12 == 0)
            h12 = 12;
        snprintf(text, sizeof text, "%d%s%02d %s", h12, f.separator.c_str(), minute,
                 (hour < 12 ? f.morning : f.evening).c_str());
    }
    return text;
}

std::string clockTemplate(const ClockFormat& f)
{
    return f.iTime == 1 ? "MM" + f.separator + "MM" : "M" + f.separator + "MM MM";
}

std::string keyStateText(bool on, const std::string& onText, const std::string& offText, const char* defaultOn)
{
    if (on)
        return onText.empty() ? std::string(defaultOn) : onText;
    return offText;
}

std::string keyStateTemplate(const std::string& onText, const std::string& offText)
{
    const std::string on = onText.empty() ? std::string("MMM") : std::string(onText.size(), 'M');
    const std::string off(offText.size(), 'M');
    return on.size() >= off.size() ? on : off;
}

void MenuHelp::menuSelect(unsigned flags, unsigned id, long lParam, MenuHelpPort& port)
{
    if (flags == 0xFFFF && lParam == 0) {
        if (!inMenu)
            return;
        inMenu = false;
        if (mode == MENUHELP_FIELD) {
            port.setFieldText(saved);
        } else if (shownInBar) {
            shownInBar = false;
            port.showHelpInBar(false);
        }
        return;
    }
    // Popups, the system menu and separators keep what shows.
    if (flags & (0x10 | 0x2000 | 0x800))
        return;
    if (!inMenu) {
        inMenu = true;
        if (mode == MENUHELP_FIELD)
            saved = port.fieldText();
        else if (mode == MENUHELP_BAR) {
            shownInBar = true;
            port.showHelpInBar(true);
        }
    }
    std::string text;
    if (!port.helpText(id, text))
        text.clear();
    if (mode == MENUHELP_FIELD) {
        savingField = false;
        port.setFieldText(text);
        savingField = true;
    } else if (text != barText) {
        barText = text;
        port.barTextChanged();
    }
}
