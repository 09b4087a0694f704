// The one way every dialog refuses what was typed into one of its fields:
// a message that names the field, over the dialog; then the focus goes back
// to the field with its text selected, and the dialog stays open. Number
// fields read their text by the rule of NumberField.h (a decimal comma
// is a point).
#ifndef KYT_FRAMEWORK_NUMBERFIELDS_H
#define KYT_FRAMEWORK_NUMBERFIELDS_H

#include "TextControls.h"

#include <windows.h>

#include <string>

// The field's name as the user sees it: its label, the static text just
// before it in the dialog ("Anfangsschrittweite:" gives
// "Anfangsschrittweite"); empty when there is none.
std::string fieldNameOf(HWND field);

// Shows the message over the field's dialog, then puts the focus on the
// field and selects its text.
void refuseField(HWND field, const std::string& message);

// The number in the field, and its text in the files' point form. When the
// text is no number: the refusal naming the field (name, else its label),
// and false.
bool readNumberFieldOf(HWND field, double* value, std::string* pointForm = nullptr, const char* name = nullptr);

// The field's text as a window text.
std::string fieldText(HWND field);

// A model-text field (a transfer function): each number written with a
// decimal comma gets a point; false, after the refusal naming the field,
// when a comma in it is no decimal comma.
bool readModelTextFieldOf(HWND field, std::string* pointForm, const char* name = nullptr);

// An edit of a field dialog that holds model text: OK refuses a comma that
// is no decimal comma and stores the text with points.
class ModelTextEditCL : public MultiEditCL {
public:
    ModelTextEditCL(WindowCL* parent, int controlId, String* variable);

    int validate() override;
    int storeValue() override;
};

// An edit of a field dialog that holds one number: OK refuses it, naming
// it, while its text is no number.
class NumberEditCL : public EditCL {
public:
    // Takes over the dialog's edit; without a name the label names it. A
    // bound text gets the number in the files' point form on OK.
    NumberEditCL(WindowCL* parent, int controlId, const char* name = nullptr, String* variable = nullptr);

    int validate() override;
    int storeValue() override;

    std::string name;
};

#endif
