// The painted parts of the 3-D controls: texts and labels with engraved or
// embossed effects, the state item every 3-D face derives from, the group
// box frame and the panel bevel. Face = COLOR_BTNFACE, light = white,
// shadow = gray (128, 128, 128), outline and text = black.
#ifndef KYT_FRAMEWORK_ITEMS3D_H
#define KYT_FRAMEWORK_ITEMS3D_H

#include "Ctl3dRules.h"
#include "Items.h"

#include <string>

namespace paint3d {
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kGray = RGB(128, 128, 128);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kLightGray = RGB(192, 192, 192);
COLORREF face();
// A pen line from (x1, y1) to (x2, y2), the end excluded, and on to (x3, y3).
void line(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2);
void line(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2, int x3, int y3);
void fill(HDC dc, const RECT& r, COLORREF colour);
// A one-pixel frame inside r.
void frame(HDC dc, const RECT& r, COLORREF colour);
} // namespace paint3d

class TextItemCL : public ItemCL {
public:
    // With autoSize the geometry (may be null) gives way to a strip docked
    // at the top of its parent layout (the group's, when it has none),
    // sized to the text's extent.
    TextItemCL(ItemGroupCL* group, Geometry* geometry, const char* text, int autoSize = 0);

    // An auto-sized item lays its parent layout out again.
    virtual void setText(const char* text);
    // Width and height of the text on the tree's context (0, 0 without one).
    Point textExtent();
    const std::string& getText() const { return text; }
    void paint(const Rect* r) override;

    std::string text;
    uint32_t cachedLength;
    int32_t autoSize;
};

// A control's text: effects by style, '&' mnemonics, focus dots, gray when
// disabled. Subclasses choose where the text goes.
class LabelItemCL : public TextItemCL {
public:
    LabelItemCL(ItemGroupCL* group, Geometry* geometry, uint32_t style, const char* text);

    virtual void setStyle(uint32_t style);
    // The font (null: the stock system font) replaces the context's current
    // one; the handle stays its owner's.
    void setFont(HFONT font);
    void setFocus(int flag) { focus = flag; }
    void setDisabled(int flag) { disabled = flag; }

    void paint(const Rect* r) override;
    // Text width and height for placing, measured on the attached context.
    void measure(HDC dc);
    virtual void placeText();
    void drawText(HDC dc);
    void drawFocus(HDC dc, bool erase);
    // The group's rectangle (the composite control's).
    Rect groupRect() const;

    uint32_t style;
    TextEffect effect;
    int32_t focus;
    int32_t disabled;
    int32_t mnemonic;
    int32_t textX;
    int32_t textY;
    int32_t textWidth;
    int32_t textHeight;
    // Erase and draw the focus dots at each paint.
    bool showsFocusDots;
};

class GroupLabelItemCL : public LabelItemCL {
public:
    using LabelItemCL::LabelItemCL;
    void paint(const Rect* r) override;
    void placeText() override;
    bool shown;
};

class PanelLabelItemCL : public LabelItemCL {
public:
    PanelLabelItemCL(ItemGroupCL* group, Geometry* geometry, uint32_t style, const char* text)
        : LabelItemCL(group, geometry, style, text), inner()
    {
        showsFocusDots = false;
    }
    void paint(const Rect* r) override;
    void placeText() override;
    // Set by the bevel.
    RECT inner;
};

// The face of a 3-D control, with its command id and state.
class StateItemCL : public ItemCL {
public:
    StateItemCL(ItemGroupCL* group, Geometry* geometry, uint32_t style, const char* text, int id);

    virtual void showUp() { state = BUTTON_UP; }
    virtual void showDisabled() { state = BUTTON_DISABLED; }
    virtual void stateHook(int) {}
    void paint(const Rect* r) override;
    // Attached context's HDC for a paint step (null when there is none).
    HDC beginDraw();
    void endDraw();
    // The composite's label, when the group is one.
    LabelItemCL* label() const;

    int32_t id;
    uint32_t style;
    int32_t state;
};

class FrameItemCL : public StateItemCL {
public:
    using StateItemCL::StateItemCL;
    void showUp() override;
    RECT work;
};

class BevelItemCL : public StateItemCL {
public:
    BevelItemCL(ItemGroupCL* group, Geometry* geometry, uint32_t style, const char* text, int id, int bevelWidth,
                int gap, int inner);
    void showUp() override;
    // The bevel on dc without attaching (the status bar draws it).
    void drawOn(HDC dc);

    RECT work;
    int32_t bevelWidth;
    int32_t gap;
    int32_t innerBevel;
};

#endif
