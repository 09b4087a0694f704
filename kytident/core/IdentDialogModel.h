// What the identification dialog shows, derived from the document: its
// geometry, the labels of the output options, the parameter rows of the
// current method and the titles of the help windows. The window class only
// creates the controls from it and reads them back.
#ifndef KYT_KYTIDENT_IDENTDIALOGMODEL_H
#define KYT_KYTIDENT_IDENTDIALOGMODEL_H

#include "IdentBlockData.h"
#include "strings/KytidentStrings.h"

#include <string>
#include <vector>

// The dialog, in dialog units, and its window style (WS_SYSMENU with the
// low bit 0x80).
const int kIdentDialogX = 100;
const int kIdentDialogY = 100;
const int kIdentDialogWidth = 205;
const int kIdentDialogHeight = 210;
const unsigned long kIdentDialogStyle = 0x80080;
// The help windows, in dialog units.
const int kIdentHelpX = 50;
const int kIdentHelpY = 50;
const int kIdentHelpWidth = 200;
const int kIdentHelpHeight = 150;

// Text ids of the dialog.
const unsigned int kIdentInfoTitle = kStrIdInformation;  // "Information", the About box
const int kIdentIcon = 26000;

// One row of a method parameter: name, number field and label side by side,
// each 12 dialog units high.
struct IdentParameterRow {
    std::string name;   // "Lambda :"
    std::string value;  // the number as the field shows it
    std::string label;  // "Vergessensfaktor"
    int top;
};
const int kIdentRowNameX = 10;
const int kIdentRowNameWidth = 40;
const int kIdentRowFieldX = 50;
const int kIdentRowFieldWidth = 35;
const int kIdentRowLabelX = 90;
const int kIdentRowLabelWidth = 80;
const int kIdentRowHeight = 12;

std::vector<IdentParameterRow> identParameterRows(const IdentBlockData& doc);

// The text of the output option that sets GOUTPUT to gOutput (0 .. 3); the
// discrete one is named after the shift-operator letter.
unsigned int identOutputOptionText(int gOutput, char letter);

// The method list's item chosen: a method other than the current one takes
// its default parameters (the rows are made anew). True when it changed.
bool chooseIdentMethodItem(IdentBlockData* doc, int item);

// A number field: its text read as a number by the rule of NumberField.h
// (a decimal comma is a point; none gives 0), and the text it shows again.
double readIdentNumberField(const std::string& text);
std::string identNumberText(double value);
// An order field ("##"): its whole number.
int readIdentOrderField(const std::string& text);

// "KYTident Hilfe - <method name>", and "KYTident Hilfe".
std::string identMethodHelpTitle(int method);
std::string identGeneralHelpTitle();

#endif
