// The fields of the simulation options dialog (1104) without the window:
// the method, the six numbers as text, the plot's x-axis signal, and what
// the dialog does with them on construction, on leaving a field, on a new
// method and on "Standardwerte". The run reads the values back into its
// copy of the circuit's settings.
#ifndef KYT_APP_SIMOPTIONSMODEL_H
#define KYT_APP_SIMOPTIONSMODEL_H

#include "Integrators.h"
#include "SimParams.h"

#include <string>
#include <vector>

// The nine methods in the combo's order (IALG = index + 1): the engine's
// table without its row 0 (no integration).
const int kDialogMethodCount = kIntegrationMethodCount - 1;
// The combo text of a method index.
inline const char* methodText(int index)
{
    return kIntegrationMethods[index + 1].name;
}

// Control ids of dialog 1104.
enum SimOptionsControl {
    SIMOPT_DEFAULTS = 4,
    SIMOPT_HELP = 15,
    SIMOPT_METHOD = 21003,
    SIMOPT_INITSTEP = 1055,
    SIMOPT_MINSTEP = 11009,
    SIMOPT_MAXSTEP = 11010,
    SIMOPT_RELERR = 1012,
    SIMOPT_ABSERR = 1011,
    SIMOPT_LIMIT = 1013,
    SIMOPT_XAXIS = 11016
};

class SimOptionsModel {
public:
    // From the settings and the names of the listed variables (the rows of
    // the loaded program whose flag bit 0 is set, in table order).
    SimOptionsModel(const SimParams& settings, const std::vector<std::string>& listedVariables);

    // A number field's text as the dialog shows it: read as a number (a
    // decimal comma or point) and written by formatDouble; a text that is
    // no number stays as it is, for OK to refuse.
    static std::string normalise(const std::string& text);

    // The method chosen in the combo.
    void selectMethod(int index);
    // The error fields 1011 and 1012 are used by the variable-step methods only.
    bool errorFieldsEnabled() const { return methodIndex != 0 && methodIndex != 7; }
    // "Standardwerte": the defaults into the fields only (the circuit's
    // settings change on OK alone).
    void setDefaults();
    // The text of a number field by its control id; null for another id.
    std::string* field(int controlId);
    // On leaving a number field.
    void leaveField(int controlId);

    // OK: the dialog's values into the settings; FNAME and the modes stay,
    // and so does a setting whose field holds no number.
    void storeInto(SimParams& settings) const;
    // The control id of the first field, top to bottom, that OK refuses (a
    // used field that holds no number); 0 when there is none.
    int firstFieldWithoutNumber() const;

    int methodIndex;
    // -1 while no variable is listed.
    int xIndex;
    std::string initStep, minStep, maxStep, absErr, relErr, limit;
    // "time", then the names of the later listed variables.
    std::vector<std::string> xAxisEntries;

private:
    void fill(const SimParams& settings);
};

#endif
