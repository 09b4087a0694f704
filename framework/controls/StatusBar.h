// The status bar: a row of text fields in sunken frames at the bottom of a
// frame window, and the help text of the highlighted menu item, across the
// whole bar or in one field. The frame status bar adds the standard fields:
// a clock, NUM LOCK and CAPS LOCK, and a main field that takes the rest.
#ifndef KYT_FRAMEWORK_STATUSBAR_H
#define KYT_FRAMEWORK_STATUSBAR_H

#include "Ctl3dRules.h"
#include "Items3d.h"
#include "ResourceId.h"

#include <ctime>
#include <string>
#include <vector>

class Font;
class StatusBarCL;
class Timer;

// A menu-help table entry; the table ends with a null text.
struct MenuHelpEntry {
    int32_t id;
    const char* text;
};

class StatusField : public ItemCL {
public:
    StatusField(StatusBarCL* bar, Geometry* geometry, int id, uint32_t style);
    // Kind 0 left, 1 right, 5 the rest; as wide as the template text + 8.
    StatusField(StatusBarCL* bar, int kind, const char* templateText, int id, uint32_t style);
    ~StatusField() override;

    // Kept to its first 499 characters; an unchanged text repaints nothing.
    void setText(const char* text);
    const std::string& getText() const { return text; }
    // What the last paint drew: the text, or it shortened to the field.
    const std::string& shownText() const { return shown; }
    void paint(const Rect* r) override;
    void paintFrameAndText(HDC dc);
    void paintText(HDC dc);
    void eraseText(HDC dc, const RECT& r);
    void invalidate();
    RECT innerRect() const;
    // A 4-pixel gap docked after the field (kinds 0 and 1).
    void makeSpacer();

    StatusBarCL* bar;
    BevelItemCL* frame;
    std::string text;
    uint32_t style;
    int32_t id;
    RECT lastText;
    std::string shown;
    Geometry* spacer;

private:
    void init();
};

class StatusBarCL : public ItemPaneCL, public MenuHelpPort {
public:
    // Without a font the bar makes "Helv" of 120/720 inch.
    StatusBarCL(WindowCL* parent, Geometry* geometry, DWORD barStyle, DWORD paneStyle = WS_CHILD | WS_VISIBLE,
                Font* font = nullptr);
    ~StatusBarCL() override;

    LRESULT defaultEvent(EventRecord* event) override;
    LRESULT paint(DeviceContext& dc) override;
    virtual LRESULT onMenuSelect(EventRecord* event);

    void setMargins(const Point& margins);
    Point getMargins() const;
    // Replaces (and deletes) the font; the bar's height follows it.
    void setFont(Font* font);
    void addField(StatusField* field);
    void removeField(StatusField* field);
    StatusField* removeFieldById(int id);
    StatusField* fieldById(int id);
    void setFieldText(int id, const char* text);

    void setMenuHelpInBar();
    void setMenuHelpInBar(const ResourceId& stringBase);
    void setMenuHelpInBar(const MenuHelpEntry* table);
    void setMenuHelpField(StatusField* field);
    void setMenuHelpField(int id);
    void setMenuHelpField(int id, const MenuHelpEntry* table);
    StatusField* setMenuHelpField(int id, const ResourceId& stringBase);
    void endMenuHelp();

    // MenuHelpPort.
    bool helpText(unsigned id, std::string& text) override;
    std::string fieldText() override;
    void setFieldText(const std::string& text) override;
    void showHelpInBar(bool on) override;
    void barTextChanged() override;

    bool helpShownInBar() const { return help.shownInBar; }
    int textWidth(const char* text);
    int fontHeight();
    void layoutBar();
    Layout* barLayout() const { return geometry ? geometry->asLayout() : nullptr; }

    int32_t frameParent;
    uint32_t barStyle;
    const MenuHelpEntry* helpTable;
    ResourceId stringBase;
    HMODULE stringModule;
    HMODULE loadedLibrary;
    StatusField* helpField;
    MenuHelp help;
    Font* font;
    EdgeLayout* margins[4]; // top, bottom, left, right
    std::vector<StatusField*> fields;
    int32_t verticalMargin;
    int32_t innerTop;
    int32_t marginLeft;
    int32_t marginRight;
    int32_t border;

private:
    LRESULT menuSelectHandler(EventRecord* event);
    void hook();
    void unhook();
    bool hooked;
};

class ClockField : public StatusField {
public:
    ClockField(StatusBarCL* bar, int kind, int id);
    ~ClockField() override;
    void tick();
    void paint(const Rect* r) override;

    Timer* timer;
    ClockFormat format;
    std::time_t shownTime;
};

class KeyStateField : public StatusField {
public:
    KeyStateField(StatusBarCL* bar, int kind, int id, const char* onText, const char* offText, int virtualKey,
                  const char* defaultOn);
    ~KeyStateField() override;
    void tick();
    void paint(const Rect* r) override;

    std::string onText;
    std::string offText;
    int32_t virtualKey;
    const char* defaultOn;
    Timer* timer;
};

class NumLockField : public KeyStateField {
public:
    NumLockField(StatusBarCL* bar, int kind, int id, const char* onText = nullptr, const char* offText = nullptr)
        : KeyStateField(bar, kind, id, onText, offText, VK_NUMLOCK, "NUM")
    {
    }
};

class CapsLockField : public KeyStateField {
public:
    CapsLockField(StatusBarCL* bar, int kind, int id, const char* onText = nullptr, const char* offText = nullptr)
        : KeyStateField(bar, kind, id, onText, offText, VK_CAPITAL, "CAP")
    {
    }
};

class FrameStatusBarCL : public StatusBarCL {
public:
    FrameStatusBarCL(WindowCL* parent, Geometry* geometry, DWORD barStyle, DWORD paneStyle = WS_CHILD | WS_VISIBLE,
                     Font* font = nullptr);
    // The main field gets its fill geometry at the first show, after the
    // fields the program added.
    void show(int cmd) override;
};

#endif
