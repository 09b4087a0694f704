#include "NumberFields.h"

#include "ErrorReporter.h"
#include "NumberField.h"
#include "ResString.h"
#include "WinServices.h"
#include "strings/CircuitStrings.h"
#include "strings/FoundationStrings.h"

#include <cstdio>
#include <vector>

std::string fieldText(HWND field)
{
    if (!field || !IsWindow(field))
        return std::string();
    const int length = GetWindowTextLengthA(field);
    std::vector<char> text(static_cast<size_t>(length > 0 ? length : 0) + 1, 0);
    GetWindowTextA(field, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string fieldNameOf(HWND field)
{
    HWND label = field ? GetWindow(field, GW_HWNDPREV) : nullptr;
    if (!label)
        return std::string();
    char cls[32] = "";
    GetClassNameA(label, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0)
        return std::string();
    return fieldLabelName(fieldText(label).c_str());
}

namespace {


} // namespace

void refuseField(HWND field, const std::string& message)
{
    HWND dialog = field ? GetAncestor(field, GA_ROOT) : nullptr;
    // The box stands over the dialog, not over the main window behind it.
    const HWND owner = getReportOwnerWindow();
    if (dialog)
        setReportOwnerWindow(dialog);
    // Straight to the sink: a typing slip is no error of the program, so it
    // gets no level word and no ERROR.LOG line, and the companions show it
    // in German like kyt.
    getErrorSink()->showBox(message.c_str(), getResString(kStrMessageCaption));
    setReportOwnerWindow(owner);
    if (field && IsWindow(field)) {
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0, -1);
        // The dialog's activation after the box may come later and give the
        // focus elsewhere: once more when the messages are through.
        if (dialog)
            PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    }
}

bool readNumberFieldOf(HWND field, double* value, std::string* pointForm, const char* name)
{
    const std::string typed = fieldText(field);
    double v = 0;
    if (readNumberField(typed.c_str(), &v)) {
        if (value)
            *value = v;
        if (pointForm)
            numberFieldPointForm(typed.c_str(), pointForm);
        return true;
    }
    const std::string shownName = name && *name ? std::string(name) : fieldNameOf(field);
    refuseField(field, numberRefusalText(shownName.c_str(), typed.c_str()));
    return false;
}

NumberEditCL::NumberEditCL(WindowCL* parentWindow, int controlId, const char* fieldName, String* variable)
    : EditCL(parentWindow, controlId, variable), name(fieldName ? fieldName : "")
{
}

int NumberEditCL::storeValue()
{
    if (!boundText || !isWindow())
        return 0;
    std::string text;
    if (numberFieldPointForm(fieldText(hwnd).c_str(), &text))
        *boundText = text.c_str();
    return 1;
}

int NumberEditCL::validate()
{
    if (!isWindow())
        return 1;
    return readNumberFieldOf(hwnd, nullptr, nullptr, name.c_str()) ? 1 : 0;
}

namespace {


} // namespace

bool readModelTextFieldOf(HWND field, std::string* pointForm, const char* name)
{
    const std::string typed = fieldText(field);
    if (pointDecimalCommas(typed.c_str(), pointForm))
        return true;
    const std::string shownName = name && *name ? std::string(name) : fieldNameOf(field);
    std::vector<char> text(kMaxResString + shownName.size() + typed.size() + 1);
    snprintf(text.data(), text.size(), getResString(kStrPlainValueRefused), shownName.c_str(), typed.c_str());
    refuseField(field, text.data());
    return false;
}

ModelTextEditCL::ModelTextEditCL(WindowCL* parentWindow, int controlId, String* variable)
    : MultiEditCL(parentWindow, controlId, variable)
{
}

int ModelTextEditCL::validate()
{
    std::string text;
    return !isWindow() || readModelTextFieldOf(hwnd, &text) ? 1 : 0;
}

int ModelTextEditCL::storeValue()
{
    std::string text;
    if (!boundText || !isWindow() || !pointDecimalCommas(fieldText(hwnd).c_str(), &text))
        return 0;
    *boundText = text.c_str();
    return 1;
}
