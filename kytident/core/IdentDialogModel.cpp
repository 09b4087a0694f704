#include "IdentDialogModel.h"

#include "IdentMessage.h"
#include "NumberField.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "strings/KytidentStrings.h"

#include <cmath>

namespace {


} // namespace

std::vector<IdentParameterRow> identParameterRows(const IdentBlockData& doc)
{
    const IdentMethodRow& method = IdentMethodTable[doc.algo];
    std::vector<IdentParameterRow> rows;
    for (int i = 0; i < method.parameterCount; ++i) {
        IdentParameterRow row;
        row.name = std::string(getResString(method.parameterNameIds[i])) + " :";
        row.value = identNumberText(doc.params[i]);
        row.label = getResString(method.labelIds[i]);
        row.top = 102 + 15 * (i % 5);
        rows.push_back(row);
    }
    return rows;
}

unsigned int identOutputOptionText(int gOutput, char letter)
{
    switch (gOutput) {
    case 1:
        return letter == 'q' ? kStrIdOutputGq : kStrIdOutputGz;
    case 2:
        return kStrIdOutputGsGh0;
    case 3:
        return kStrIdOutputGsGhp;
    default:
        return kStrIdNoOutput;
    }
}

bool chooseIdentMethodItem(IdentBlockData* doc, int item)
{
    const int method = identMethodOfItem(item);
    if (method < 0 || method == doc->algo)
        return false;
    doc->setMethod(method);
    return true;
}

double readIdentNumberField(const std::string& text)
{
    // The number fields' one rule (a decimal comma is a point); the dialog
    // refuses a text that is no number before it reads the fields.
    double v = 0.0;
    if (!readNumberField(text.c_str(), &v))
        return 0.0;
    return v;
}

std::string identNumberText(double value)
{
    return formatDouble(value).text();
}

int readIdentOrderField(const std::string& text)
{
    const double v = readIdentNumberField(text);
    if (v < 0)
        return 0;
    if (v > kMaxIdentWizardOrder)
        return kMaxIdentWizardOrder;
    return static_cast<int>(v);
}

std::string identMethodHelpTitle(int method)
{
    return identGeneralHelpTitle() + " - " + getResString(IdentMethodTable[method].nameId);
}

std::string identGeneralHelpTitle()
{
    return getResString(kIdentCaptionHelp);
}
