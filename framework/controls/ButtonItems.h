// Clickable 3-D items and the bitmap button: pressing, tracking, latching,
// hover help (WM_MENUSELECT to the owner) and the command a release sends;
// the bitmap button draws one cell of an image strip per state.
#ifndef KYT_FRAMEWORK_BUTTONITEMS_H
#define KYT_FRAMEWORK_BUTTONITEMS_H

#include "Ctl3dWindow.h"
#include "MemberCall.h"
#include "ResourceId.h"

class Timer;

class ButtonItemCL : public StateItemCL {
public:
    ButtonItemCL(ItemGroupCL* group, Geometry* geometry, uint32_t style, int id);
    // Stops the hover timer and leaves the groups' current item.
    ~ButtonItemCL() override;

    virtual void showLatched() { state = BUTTON_LATCHED; }
    virtual void showPressed() { state = BUTTON_PRESSED_LATCHED; }
    virtual void showPressedFromUp() { state = BUTTON_PRESSED_UP; }
    virtual void finishToggle() {}
    virtual void setFocusFlag(int) {}
    virtual int focusFlag() { return 0; }

    void paint(const Rect* r) override;
    LRESULT buttonDown(EventRecord* event) override;
    LRESULT mouseMove(EventRecord* event) override;
    LRESULT buttonUp(EventRecord* event) override;

    // Asked before the command goes out; a non-zero result keeps it back.
    template <typename O, typename T>
    void setHandler1(O* object, LRESULT (T::*function)(ButtonItemCL*))
    {
        handler1 = MemberCall<LRESULT(ButtonItemCL*)>(object, function);
    }
    template <typename O, typename T>
    void setHandler2(O* object, LRESULT (T::*function)(EventRecord*))
    {
        handler2 = EventCall(object, function);
    }

    void hoverTick();
    // The host's owner, where hover help goes.
    HWND helpTarget() const;
    void setCurrentInGroups(ItemCL* item);

    int32_t tracking;
    int32_t pressed;
    int32_t hover;
    Timer* hoverTimer;
    int32_t savedState;
    MemberCall<LRESULT(ButtonItemCL*)> handler1;
    EventCall handler2;
    int32_t autoToggle;
    int32_t twoState;
};

class ButtonLabelItemCL : public LabelItemCL {
public:
    ButtonLabelItemCL(ItemGroupCL* group, Geometry* geometry, uint32_t style, const char* text, int hasBitmap)
        : LabelItemCL(group, geometry, style, text), hasBitmap(hasBitmap), buttonState(BUTTON_UP), placed(false)
    {
        showsFocusDots = (style & 0x8000) != 0;
    }
    void paint(const Rect* r) override;
    void placeText() override;

    int32_t hasBitmap;
    int32_t buttonState;
    // The text's place, set by the button item before painting.
    bool placed;
    POINT at;
};

class BmpButtonItemCL : public ButtonItemCL {
public:
    // The bitmap (may be null) belongs to the item from now on.
    BmpButtonItemCL(ItemGroupCL* group, Geometry* geometry, uint32_t style, const char* text, int id, HBITMAP bitmap,
                    int imageCount);
    ~BmpButtonItemCL() override;

    void showUp() override;
    void showDisabled() override;
    void showLatched() override;
    void showPressed() override;
    void showPressedFromUp() override;
    void finishToggle() override;
    void setFocusFlag(int flag) override { focus = flag; }
    int focusFlag() override { return focus; }

    // The previous bitmap goes back to the caller.
    HBITMAP setBitmap(HBITMAP bitmap);
    // A cell of a shared strip (not deleted with the item).
    void setCell(HBITMAP strip, int x, int y, int width, int height);
    void drawFocusFrame(bool erase);
    Point imageSize() const;
    // Where image and text go inside the item.
    void placeContents(HDC dc);
    void drawFace(HDC dc);
    void drawImage(HDC dc);
    void repaint();
    ButtonLabelItemCL* buttonLabel() const;

    HBITMAP bitmap;
    HBITMAP disabledBitmap;
    POINT imagePosition;
    int32_t focus;
    int32_t disabledImage;
    int32_t cellFlag;
    POINT cellOrigin;
    SIZE cellSize;
    int32_t imageCount;
};

// A button of an image strip and a text; the tool bars' buttons.
class BmpButtonCL : public Button3dCL {
public:
    // The bitmap (may be null) belongs to the button; flags has no effect.
    BmpButtonCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* text, int controlId, HBITMAP bitmap,
                int flags = 0);
    // Takes over the template's control with that id.
    BmpButtonCL(WindowCL* parent, int controlId);

    void setButtonStyle(uint32_t style) override;
    void setDisabled(int flag) override;
    LRESULT onFocus(EventRecord* event) override;
    // Size mode 0 keeps the size, 2 takes (extra width, extra height), any
    // other fits the strip's cell.
    void setBitmap(HBITMAP bitmap, int sizeMode, int extraWidth, int extraHeight);
    // false when the resource does not load (the button keeps working).
    bool loadBitmap(const ResourceId& resource);
    BmpButtonItemCL* buttonItem() const;

private:
    BmpButtonCL(const Placeholder3d& placeholder, WindowCL* parent, int controlId);
};

// The same, with focus dots on its text.
class BmpButtonFocusCL : public BmpButtonCL {
public:
    BmpButtonFocusCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* text, int controlId,
                     HBITMAP bitmap, int flags = 0)
        : BmpButtonCL(parent, geometry, style | 0x8000, text, controlId, bitmap, flags)
    {
    }
};

#endif
