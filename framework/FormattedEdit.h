// Formatted edit fields: a bordered single-line edit whose every change of
// text passes through a formatter (FieldFormatter), and the two fields that
// bind one to a program variable, IntFieldCL for an int and StringFieldCL
// for a String. Field dialogs validate every field before any is stored.
#ifndef KYT_FRAMEWORK_FORMATTEDEDIT_H
#define KYT_FRAMEWORK_FORMATTEDEDIT_H

#include "Control.h"
#include "FieldFormatter.h"

#include <cstdint>
#include <string>

class FormattedEditCL : public BorderEditCL {
public:
    // Takes over the dialog's edit; a formatter (owned from now on) shows
    // its empty template at once.
    FormattedEditCL(WindowCL* parent, int controlId, FieldFormatter* formatter, uint32_t flags);
    // A new bordered edit; the initial text goes through the formatter.
    FormattedEditCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* initialText, int controlId,
                    FieldFormatter* formatter, uint32_t flags);
    ~FormattedEditCL() override;

    LRESULT onChar(EventRecord* event) override;
    int validate() override;

    // Replaces the selection by the text through the formatter. A text
    // longer than a field holds is refused (0) and changes nothing.
    int insertText(const char* text);
    // The shown text as a plain value (the formatter's strip).
    String getValue(uint32_t flagsWord);

    LRESULT onKeyDown(EventRecord* event);
    LRESULT onCut(EventRecord* event);
    LRESULT onPaste(EventRecord* event);

    FieldFormatter* formatter;
    uint32_t flags;
    int swallowNextChar;

protected:
    std::string shownText() const;
    Selection currentSelection() const;
    void showEdit(const std::string& text, const Selection& selection);
    // The Delete request; a cut copies the old selection first.
    void deleteForward(bool copyFirst);
    void pasteClipboard();

private:
    void initFormatted(FieldFormatter* formatter, uint32_t flags);
};

class IntFieldCL : public FormattedEditCL {
public:
    // The default mask of integer fields: negatives allowed, five digits.
    static const char* const kDefaultMask;

    IntFieldCL(WindowCL* parent, int controlId, int* variable, const char* mask, uint32_t flags);
    IntFieldCL(WindowCL* parent, int controlId, int* variable, FieldFormatter* formatter, uint32_t flags);
    IntFieldCL(WindowCL* parent, int controlId, int* variable, uint32_t flags);
    IntFieldCL(WindowCL* parent, Geometry* geometry, DWORD style, int controlId, int* variable, const char* mask,
               uint32_t flags);
    IntFieldCL(WindowCL* parent, Geometry* geometry, DWORD style, int controlId, int* variable,
               FieldFormatter* formatter, uint32_t flags);
    IntFieldCL(WindowCL* parent, Geometry* geometry, DWORD style, int controlId, int* variable, uint32_t flags);

    // Also fails, with the caret at the end, when the value does not fit an int.
    int validate() override;
    int storeValue() override;
    int loadValue() override;

    int* value;
};

class StringFieldCL : public FormattedEditCL {
public:
    // A picture mask of the mask text.
    StringFieldCL(WindowCL* parent, int controlId, String* variable, const char* mask, uint32_t flags);
    StringFieldCL(WindowCL* parent, int controlId, String* variable, FieldFormatter* formatter, uint32_t flags);
    // A keystroke filter when the flags ask for one (0xC037), else none.
    StringFieldCL(WindowCL* parent, int controlId, String* variable, uint32_t flags);
    StringFieldCL(WindowCL* parent, Geometry* geometry, DWORD style, int controlId, String* variable,
                  const char* mask, uint32_t flags);
    StringFieldCL(WindowCL* parent, Geometry* geometry, DWORD style, int controlId, String* variable,
                  uint32_t flags);

    // Binds another variable without loading it; returns the previous one.
    String* bind(String* variable);
    int storeValue() override;
    int loadValue() override;

    String* value;
};

#endif
