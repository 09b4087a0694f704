// The only window of kytident: the identification dialog, built in code over
// the document. It shows the document, takes the user's choices into it, and
// on OK runs the checks and writes the block file; OK, Cancel and the close
// box end it and leave the program's message loop.
#ifndef KYT_KYTIDENT_IDENTWIZARDDIALOG_H
#define KYT_KYTIDENT_IDENTWIZARDDIALOG_H

#include "Dialog.h"
#include "IdentBlockData.h"
#include "IdentChecks.h"
#include "IdentMessage.h"

#include <vector>

class ButtonCL;
class ComboBoxCL;
class CtrlWindowCL;
class EditCL;
class FormattedEditCL;
class IdentHelpWindow;

// Control ids of the dialog.
enum IdentControlId {
    IDC_IDENT_METHOD = 200,
    IDC_IDENT_METHOD_HELP = 201,
    IDC_IDENT_NUM_DEG = 202,
    IDC_IDENT_DEN_DEG = 203,
    IDC_IDENT_SAMPLE = 204,
    IDC_IDENT_DEAD = 205,
    IDC_IDENT_OUTPUT_GROUP = 206,
    IDC_IDENT_OUTPUT_FIRST = 210,  // the four output options, GOUTPUT 0 .. 3
    IDC_IDENT_PARAMETER_OUT = 215,
    IDC_IDENT_HELP = 216,
    IDC_IDENT_INFO = 217,
    IDC_IDENT_LABEL_FIRST = 220,
    IDC_IDENT_ROW_NAME_FIRST = 240,   // + parameter
    IDC_IDENT_ROW_FIELD_FIRST = 250,  // + parameter
    IDC_IDENT_ROW_LABEL_FIRST = 260   // + parameter
};

class IdentWizardDialog : public DialogFrameCL {
public:
    // Built and shown over doc; the focus is on OK. exitCode is the
    // program's: OK sets 0 when the block file was written, Cancel and the
    // close box 1.
    IdentWizardDialog(IdentBlockData* doc, int* exitCode);
    ~IdentWizardDialog() override;

    // Gives the window the program's icon, shows it and puts the focus on OK.
    void open();

    LRESULT onCommand(EventRecord* event) override;
    LRESULT onClose(EventRecord* event) override;

    // The buttons' actions.
    void confirm();
    void cancel();
    void showMethodHelp();
    void showGeneralHelp();
    void showInfo();
    // The method list's choice (its item).
    void chooseMethodItem(int item);

    // Shows a box of the core; true for a Yes.
    bool ask(const IdentMessage& message);

    // The open help window, null when none.
    IdentHelpWindow* helpWindow() const { return help; }
    // True once OK, Cancel or the close box ended the dialog.
    bool hasEnded() const { return finished; }

private:
    void buildControls();
    void buildParameterRows();
    void deleteParameterRows();
    void showDocument();
    void readFields();
    void showNumberField(EditCL* field, double value);
    // The field's text is a number by the one rule.
    static bool holdsNumber(EditCL* field);
    void showOrderField(FormattedEditCL* field, int value);
    void focusOn(const IdentFinding& finding);
    void checkOutputOption(int gOutput);
    void showHelpText(const std::string& title, const std::string& text);
    // Hides the dialog and leaves the program's loop.
    void finish();

    IdentBlockData* doc;
    int* exitCode;
    bool finished;
    HFONT guiFont;
    ComboBoxCL* methodList;
    FormattedEditCL* numDegField;
    FormattedEditCL* denDegField;
    EditCL* sampleField;
    EditCL* deadField;
    ButtonCL* outputOptions[4];
    ButtonCL* parameterOut;
    ButtonCL* okButton;
    std::vector<CtrlWindowCL*> rowControls;
    std::vector<EditCL*> parameterFields;
    IdentHelpWindow* help;
};

#endif
