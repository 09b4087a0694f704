// The tool bar: a pane docked to an edge of a frame that holds bitmap
// buttons addressed by their command ids. Buttons can form radio groups,
// mirror their state into the frame's menu, and their clicks and hover help
// reach the owner as WM_COMMAND and WM_MENUSELECT, like the menu items of
// the same ids.
#ifndef KYT_FRAMEWORK_TOOLBAR_H
#define KYT_FRAMEWORK_TOOLBAR_H

#include "BarLayout.h"
#include "ButtonItems.h"
#include "Items.h"
#include "Menu.h"

#include <vector>

// Wine's winsock.h turns select into a warning macro once stdlib.h came
// first; the radio group's select is no socket call.
#ifdef select
#undef select
#endif

class ToolBarCL;

// BM_SETCHECK straight to the button's window procedure, unless state 1
// finds it checked already (then 0 and nothing is sent).
LRESULT setCheck(WindowCL* button, int state);

// Keeps the menu items of the buttons' ids grayed and checked as the buttons are.
class ButtonMenuLink : public CommandTarget {
public:
    // First 0 and last 0xFFFF: every button. Flags: 1 enabling, 2 checking.
    ButtonMenuLink(ToolBarCL* bar, Menu* menu, int first, int last, int flags);
    ~ButtonMenuLink() override;

    virtual LRESULT onButtonEvent(EventRecord* event);
    virtual void attach(WindowCL* button);
    virtual void detach(WindowCL* button);

    ToolBarCL* bar;
    Menu* menu;
    int32_t firstId;
    int32_t lastId;
    int32_t flags;

private:
    std::vector<WindowCL*> buttons();
};

// Buttons of an id range of which one is latched.
class RadioGroup : public CommandTarget {
public:
    // Registered with the bar.
    RadioGroup(ToolBarCL* bar, int first, int last);
    // Not registered.
    RadioGroup(ToolBarCL* bar, int first, int last, bool registered);
    // Leaves the bar's list and its command handlers (a mended fault: a
    // deleted group stayed registered and was called later).
    ~RadioGroup() override;

    int select(int id);
    void enable(int flag);
    LRESULT onGroupCommand(EventRecord* event);
    template <typename O, typename T>
    void setNotify(O* object, LRESULT (T::*function)(EventRecord*))
    {
        notify = EventCall(object, function);
    }

    ToolBarCL* bar;
    int32_t firstId;
    int32_t lastId;
    int32_t selectedId;
    EventCall notify;

protected:
    void init();
    bool registered;
};

class BoundRadioGroup : public RadioGroup {
public:
    BoundRadioGroup(ToolBarCL* bar, int first, int last, int* variable);
    BoundRadioGroup(ToolBarCL* bar, int first, int last, int* variable, bool registered);

    virtual int loadValue();
    virtual int validate() { return 1; }
    virtual int storeValue();

    int* variable;

private:
    void bindButtons();
};

class ToolBarCL : public ItemPaneCL {
public:
    ToolBarCL(WindowCL* parent, Geometry* geometry, DWORD barStyle, DWORD paneStyle = WS_CHILD | WS_VISIBLE);
    // Commands, menu help and the linked menu are those of the parent's parent.
    struct ForwardToGrandparent {};
    ToolBarCL(ForwardToGrandparent, WindowCL* parent, Geometry* geometry, DWORD barStyle,
              DWORD paneStyle = WS_CHILD | WS_VISIBLE);
    ~ToolBarCL() override;

    LRESULT defaultEvent(EventRecord* event) override;
    LRESULT onSize(EventRecord* event) override;
    LRESULT paint(DeviceContext& dc) override;

    // The button of that id (null when none).
    BmpButtonCL* button(int id);
    // The child control of that id, of whatever class (null when none):
    // a radio group may be of 3-D radio buttons as well.
    WindowCL* control(int id);
    // A bar in a field dialog is a field: loading, validating and storing
    // reach its registered bound radio groups.
    int loadValue() override;
    int validate() override;
    int storeValue() override;
    void enableButton(int id, int flag);
    int isButtonEnabled(int id);
    int checkButton(int id, int state);
    int isButtonChecked(int id);
    // An entry without a window, owned by the bar.
    BarItemLayout* addSpacer(int position, const Point& size);
    // Lays the bar out again and repaints it.
    void rebuildLayout();

    template <typename O, typename T>
    void onCommand(O* object, LRESULT (T::*function)(EventRecord*), int id)
    {
        addCommandHandler(new HandlerRecord(static_cast<UINT>(id), function, object, WM_COMMAND));
    }
    template <typename O, typename T>
    void onCommand(O* object, LRESULT (T::*function)(EventRecord*), int first, int last)
    {
        addCommandHandler(
            new HandlerRecord(static_cast<UINT>(first), static_cast<UINT>(last), function, object, WM_COMMAND));
    }
    template <typename O, typename T>
    void onAnyCommand(O* object, LRESULT (T::*function)(EventRecord*))
    {
        addCommandHandler(new HandlerRecord(0u, 0xFFFFu, function, object, WM_COMMAND));
    }

    void linkMenu();
    void unlinkMenu();

    void setMargins(int x, int y) { barLayout->setMargins(x, y); }
    Point getMargins() const { return barLayout->getMargins(); }
    void setDefaultStep(int x, int y) { barLayout->setDefaultStep(x, y); }
    Point getDefaultStep() const { return barLayout->getDefaultStep(); }
    void setOrientation(int o) { barLayout->setOrientation(o); }
    int getOrientation() const { return barLayout->getOrientation(); }

    WindowCL* target() const;

    ButtonMenuLink* menuLink;
    std::vector<RadioGroup*>* radioGroups;
    int32_t forwardFlag;
    // Installed in the bar's layout, which owns it.
    BarLayout* barLayout;
    BevelItemCL* frameItem;
    uint32_t barStyle;
    SubItemGroupCL* itemGroup;
    std::vector<BarItemLayout*> spacers;

private:
    void initBar(DWORD style);
    std::vector<BoundRadioGroup*> boundGroups() const;
};

#endif
