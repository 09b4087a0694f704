// The window-free rules of the painted 3-D controls, the tool bar and the
// status bar: which image cell a bitmap button shows, how a label's '&'
// markers read, the text effects and label places by style, the panel's
// bevel from its style, the status bar's height, the clock and key-state
// texts and the menu-help state of a status bar.
#ifndef KYT_FRAMEWORK_CTL3DRULES_H
#define KYT_FRAMEWORK_CTL3DRULES_H

#include <cstdint>
#include <ctime>
#include <string>

class ProfileSource;

// ---------------------------------------------------------------- buttons

// States of a clickable item.
enum ButtonState {
    BUTTON_LATCHED = 0,
    BUTTON_UP = 1,
    BUTTON_PRESSED_LATCHED = 2,
    BUTTON_PRESSED_UP = 3,
    BUTTON_DISABLED = 4
};

// The strip cell a bitmap button shows in a state. A one-state button never
// latches: state 0 shows up. State 4 shows the disabled up image, as does
// any state with disabled set.
int buttonImageCell(uint32_t style, bool twoState, int state, bool disabled);

// ---------------------------------------------------------------- labels

// A label text without its '&' markers: "&&" is one '&', a single '&' marks
// the next character as the mnemonic (its index, -1 when none).
struct MnemonicText {
    std::string text;
    int mnemonic;
};
MnemonicText parseMnemonic(const std::string& label);

// The colour copies of an engraved or embossed text.
enum EffectColour { EFFECT_NONE = 0, EFFECT_WHITE = 1, EFFECT_GRAY = 2 };
struct TextEffect {
    int colour1; // drawn at (x, y)
    int colour2; // drawn at (x + 2, y + 2)
};
// The effect of style bits 0x1C0; other values keep the previous effect.
TextEffect textEffect(uint32_t style, const TextEffect& previous);
// What the effect adds to the text's extent for placing, and the vertical
// start offset.
int effectExtra(uint32_t style);
int effectOffset(uint32_t style);

// Text x of a label in its parent (x, width) by kind:
// check and radio labels: box right of the text with 0x20, else after the box.
int checkLabelX(uint32_t style, int parentX);
// Group box captions by style & 0x1800; false when the caption is not shown.
bool groupLabelX(uint32_t style, int parentX, int parentWidth, int textWidth, int& x);
// Panel captions inside the bevel's inner rectangle.
int panelLabelX(uint32_t style, int parentX, int parentWidth, int innerLeft, int innerRight, int textWidth);

// A panel's bevel width and gap: 999/999 takes both from the style.
void panelBevel(uint32_t style, int& width, int& gap);

// ---------------------------------------------------------------- status bar

// The bar's height above the font's character height.
int statusBarHeight(int fontHeight, int border, int verticalMargin, int innerTop);
// A field text is kept to this many characters.
const size_t kFieldTextLimit = 499;
// A 3-D label to this many.
const size_t kLabelTextLimit = 255;

// The [intl] time format of the clock field.
struct ClockFormat {
    int iTime;           // 1: 24-hour clock
    std::string separator; // one character
    std::string morning;   // at most four characters
    std::string evening;
};
// Read through the profile (defaults without one).
ClockFormat readClockFormat(ProfileSource* profile);
std::string clockText(const ClockFormat& format, int hour, int minute);
// The text measured for the field's width.
std::string clockTemplate(const ClockFormat& format);
// The clock repaints only when the minute changed.
inline bool minuteChanged(std::time_t shown, std::time_t now)
{
    return shown / 60 != now / 60;
}

// The text of a NUM or CAPS field; an empty on text gives the default.
std::string keyStateText(bool on, const std::string& onText, const std::string& offText, const char* defaultOn);
// The text measured for the field's width: the wider of the two with every
// character an 'M' ("MMM" without an on text).
std::string keyStateTemplate(const std::string& onText, const std::string& offText);

// ---------------------------------------------------------------- menu help

enum MenuHelpMode { MENUHELP_NONE = 0, MENUHELP_BAR = 1, MENUHELP_FIELD = 2 };

// Where a status bar finds help texts and shows them.
class MenuHelpPort {
public:
    virtual ~MenuHelpPort() {}
    // The help text of a menu item; false when there is none.
    virtual bool helpText(unsigned id, std::string& text) = 0;
    virtual std::string fieldText() = 0;
    // The help field's text; saved says whether it counts as the field's
    // own text (kept for when the menu closes).
    virtual void setFieldText(const std::string& text) = 0;
    // The bar switches between its help text and its fields.
    virtual void showHelpInBar(bool on) = 0;
    // The bar's help text changed.
    virtual void barTextChanged() = 0;
};

class MenuHelp {
public:
    MenuHelp() : mode(MENUHELP_NONE), inMenu(false), shownInBar(false), savingField(true) {}

    // WM_MENUSELECT: flags is the high word of wParam, id its low word.
    void menuSelect(unsigned flags, unsigned id, long lParam, MenuHelpPort& port);
    // A program text for the help field: while a menu is open it also
    // becomes the text that returns when the menu closes.
    void fieldTextSet(const std::string& text)
    {
        if (inMenu && savingField)
            saved = text;
    }

    int mode;
    bool inMenu;
    bool shownInBar;
    bool savingField;
    std::string saved;
    std::string barText;
};

#endif
