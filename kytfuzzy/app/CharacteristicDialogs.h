// The two dialogs before a characteristic is computed: which inputs are the
// axes and into how many steps they are divided, and which output is shown
// ("Berechnung der Regelkennfläche ...", 136); and the fixed values of the
// other inputs of a block with more than two ("Initialisierung ...", 135).
#ifndef KYT_KYTFUZZY_CHARACTERISTICDIALOGS_H
#define KYT_KYTFUZZY_CHARACTERISTICDIALOGS_H

#include "Characteristic.h"
#include "Dialog.h"

#include <functional>
#include <string>
#include <vector>

class ComboBoxCL;
class EditCL;
class FuzzyKernel;
class TableModel;
class TablePaneCL;

// Called with each dialog after it is made and before it runs (tests post
// their script to it); null: none.
typedef void (*CharacteristicDialogHook)(DialogFrameCL* dialog);
void setCharacteristicDialogHook(CharacteristicDialogHook hook);
// Shows a help topic of fuzzyhlp.txt (the program's help window).
void setCharacteristicHelp(const std::function<void(const char* topic)>& help);

class SurfaceDlg : public FieldDialogCL {
public:
    enum {
        kTemplate = 136,
        kXList = 1004,
        kYList = 1007,
        kZList = 1008,
        kXDivision = 1012,
        kYDivision = 1013,
        kOk = 1017,
        kHelp = 3
    };

    // Unless silent, shows and runs the dialog; silent takes the proposal
    // at once as the remembered choice.
    SurfaceDlg(WindowCL* parent, const std::vector<std::string>& inputs, const std::vector<std::string>& outputs,
               int silent);

    LRESULT onCommand(EventRecord* event) override;

    // 1 confirmed.
    int result = 0;
    SurfaceChoiceModel choice;

private:
    void readFields();
    LRESULT leaveDivision(EventRecord* event);
    // A division below 1: the box names the field, which gets the focus.
    void refuseDivision(EditCL* field, unsigned int name);

    ComboBoxCL* xList;
    ComboBoxCL* yList;
    ComboBoxCL* zList;
    EditCL* xDivision;
    EditCL* yDivision;
};

class HillDlg : public FieldDialogCL {
public:
    enum { kTemplate = 135, kOk = 1017, kHelp = 3, kEditorId = 1101 };

    // Shows and runs the dialog over the kernel's inputs; after OK every
    // input but the two axes has the value of its cell.
    HillDlg(WindowCL* parent, FuzzyKernel* kernel, const std::string& xName, const std::string& yName);
    ~HillDlg() override;

    LRESULT onCommand(EventRecord* event) override;

    int result = 0;
    TablePaneCL* table() const { return pane; }

private:
    void storeValues();

    FuzzyKernel* kernel;
    std::vector<std::string> names;
    TableModel* model;
    TablePaneCL* pane;
};

#endif
