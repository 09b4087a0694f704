// The list-type controls: list boxes and combo boxes. Both keep a list of
// texts that is filled, read and selected in the same way, and both can be
// bound to a program variable (the selection's index or its text); they
// differ in the messages that do it and in the window class. ListControlCL
// holds what they share, driven by a table of the messages of each class.
#ifndef KYT_FRAMEWORK_LISTCONTROLS_H
#define KYT_FRAMEWORK_LISTCONTROLS_H

#include "CtrlWindow.h"

// Binding kinds of combo and list boxes.
enum BindingKind { BIND_NONE = 0, BIND_INDEX = 1, BIND_STRING = 2 };

// The messages with which one window class of list controls does the
// shared operations (LB_* for list boxes, CB_* for combo boxes).
struct ListControlMessages {
    UINT addString;
    UINT insertString;
    UINT deleteString;
    UINT getCount;
    UINT resetContent;
    UINT getCurSel;
    UINT setCurSel;
    UINT selectString;
    UINT getTextLength;
    UINT getText;
    // The notification code of a changed selection.
    UINT selChange;
};

class ListControlCL : public CtrlWindowCL {
public:
    template <typename O, typename T>
    void onSelChange(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, messages.selChange);
    }

    // The operations answer as the control does: an index, or -1 (LB_ERR,
    // CB_ERR) when it fails or there is no window.
    int addString(const char* text);
    int addString(const String& text) { return addString(text.text()); }
    int insertString(int index, const char* text);
    int deleteString(int index);
    // 0 without a window.
    int getCount() const;
    void resetContent();
    int getCurSel() const;
    int setCurSel(int index);
    // The first item that begins with the text is selected.
    int selectString(const char* text);
    // Index -1: the current selection. False (and text untouched) when
    // there is no such item.
    bool getItemText(int index, String& text) const;
    void bindString(String* variable);
    void bindInt(int* variable);
    // A null-terminated array of texts, added with the redrawing off.
    void fill(const char* const* texts);

    // A bound control without a value fails, unless kAcceptEmpty is set.
    int validate() override;
    int storeValue() override;
    int loadValue() override;

    void* binding;
    int bindingKind;
    int options;

protected:
    // A new control window of that class (made by the derived classes or by
    // create); the style gets styleBits added.
    ListControlCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId,
                  const ListControlMessages& messages, const char* windowClass, int32_t controlKind,
                  DWORD styleBits);
    // Takes over the dialog's control of that id.
    ListControlCL(WindowCL* parent, int controlId, const ListControlMessages& messages);

    // True when the control holds a value for a bound field.
    virtual bool hasValue() const { return getCurSel() >= 0; }
    // The text a field bound to a String receives: the selected item's.
    virtual String valueText() const;

private:
    int send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    const ListControlMessages& messages;
};

// ---------------------------------------------------------------- list boxes

class ListBoxCL : public ListControlCL {
public:
    ListBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    ListBoxCL(WindowCL* parent, int controlId);

    template <typename O, typename T>
    void onDoubleClick(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, LBN_DBLCLK);
    }

    // Adds the names of the files that match the pattern (LB_DIR).
    int directory(UINT attributes, const char* pattern);
};

class SortedListBoxCL : public ListBoxCL {
public:
    SortedListBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
};

// A list or combo box of a dialog, taken over and bound to a program variable.
template <typename Control>
class BoundListControlCL : public Control {
public:
    // The selected item's text, or the edit text of an editable combo box.
    BoundListControlCL(WindowCL* parent, int controlId, String* variable, int optionWord = 0)
        : Control(parent, controlId)
    {
        this->bindString(variable);
        this->options = optionWord;
    }
    // The selection's index.
    BoundListControlCL(WindowCL* parent, int controlId, int* variable, int optionWord = 0)
        : Control(parent, controlId)
    {
        this->bindInt(variable);
        this->options = optionWord;
    }
};

class BoundListBoxCL : public BoundListControlCL<ListBoxCL> {
public:
    using BoundListControlCL<ListBoxCL>::BoundListControlCL;
};

// ---------------------------------------------------------------- combo boxes

class ComboBoxCL : public ListControlCL {
public:
    // The window is made by the derived classes (or by create).
    ComboBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    ComboBoxCL(WindowCL* parent, int controlId);

    void showList();
    String getEditText() const;
    // The colour of the box's own edit and list (drawing rule; -2 none, -3 the parent's).
    void setInnerColor(const Color& colour);
    void setInnerColor(COLORREF special) { innerColourValue = special; }

    COLORREF innerColourValue;

protected:
    LRESULT innerColour(EventRecord* event) override;
    // An editable box holds what was typed; a drop-down list its selection.
    bool hasValue() const override;
    String valueText() const override;

private:
    bool isEditable() const { return (style & 3) < CBS_DROPDOWNLIST; }
};

class SortedComboBoxCL : public ComboBoxCL {
public:
    SortedComboBoxCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
};

class BoundComboBoxCL : public BoundListControlCL<ComboBoxCL> {
public:
    using BoundListControlCL<ComboBoxCL>::BoundListControlCL;
};

#endif
