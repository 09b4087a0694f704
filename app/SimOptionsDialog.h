// Dialog 1104 "Simulationoptionen ändern ...": the method, the step and error
// settings, the event accuracy and the plot's x-axis signal, over a
// SimOptionsModel. The model does the work; the dialog shows it and takes
// the user's changes back into it.
#ifndef KYT_APP_SIMOPTIONSDIALOG_H
#define KYT_APP_SIMOPTIONSDIALOG_H

#include "Dialog.h"
#include "SimOptionsModel.h"

class ComboBoxCL;
class EditCL;

class SimOptionsDialog : public FieldDialogCL {
public:
    enum { kTemplate = 1104, kTextLimit = 100 };

    // Built and filled from the model; not shown.
    SimOptionsDialog(WindowCL* parent, SimOptionsModel& model);

    // Shows the dialog and runs it modally; true after OK, with the fields
    // back in the model (each number field normalised once more).
    bool ask();

    LRESULT onCommand(EventRecord* event) override;

    // Called with every dialog just before it is shown (tests drive it).
    static void (*shownHook)(SimOptionsDialog* dialog);

    ComboBoxCL* methodCombo() const { return methods; }
    ComboBoxCL* xAxisCombo() const { return xAxis; }
    SimOptionsModel& values() { return model; }

private:
    void showModel();
    void enableErrorFields();
    void takeBack();

    SimOptionsModel& model;
    ComboBoxCL* methods;
    ComboBoxCL* xAxis;
    EditCL* edits[6];
};

#endif
