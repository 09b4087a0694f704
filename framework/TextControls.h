// The text controls of the standard set: statics (text and icons) and
// edits (one line, several lines, with a border), an edit bound to a String.
#ifndef KYT_FRAMEWORK_TEXTCONTROLS_H
#define KYT_FRAMEWORK_TEXTCONTROLS_H

#include "CtrlWindow.h"

class StaticCL : public CtrlWindowCL {
public:
    StaticCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    StaticCL(WindowCL* parent, int controlId);
    LRESULT defaultEvent(EventRecord* event) override;
    HICON iconHandle() const { return icon; }

private:
    void initStatic();
};

class EditCL : public CtrlWindowCL {
public:
    EditCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    // Take-over bound to a String (loaded at once when given).
    EditCL(WindowCL* parent, int controlId, String* variable = nullptr, int options = 0);

    // Enter sends WM_USER+2 (0x1000, 0x1000) to the parent, unless the edit
    // wants returns or Ctrl is held.
    LRESULT defaultEvent(EventRecord* event) override;
    // A disabled edit is enabled for the time of the change and stays disabled.
    void setText(const String& text) override;
    void setText(const char* text) override;

    template <typename O, typename T>
    void onKillFocus(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, EN_KILLFOCUS);
    }
    template <typename O, typename T>
    void onVScroll(O* object, LRESULT (T::*function)(EventRecord*))
    {
        onNotify(object, function, EN_VSCROLL);
    }

    // Start and end of the selection, ordered.
    void getSelection(int& start, int& end) const;
    String selectedText() const;
    void setSelection(int start, int end);
    void replaceSelection(const char* text);
    void limitText(int count);
    void cut();
    void copy();
    void paste();
    int isModified() const;
    void setModified(int flag);
    void setRect(const RECT& rect);
    void lineScroll(int lines, int columns = 0);
    void bindBuffer(String* variable) { boundText = variable; }

    int validate() override;
    int storeValue() override;
    int loadValue() override;

    String* boundText;
    int options;

protected:
    void initEdit();
};

class MultiEditCL : public EditCL {
public:
    MultiEditCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    MultiEditCL(WindowCL* parent, int controlId, String* variable = nullptr, int options = 0);
};

class BorderEditCL : public EditCL {
public:
    BorderEditCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int controlId);
    BorderEditCL(WindowCL* parent, int controlId, String* variable = nullptr, int options = 0);
};

#endif
