// What the editor dialogs do to the model, without windows: the initial
// texts, the checks of OK and the changes they make. The dialog classes
// store their fields, call these and show the message a check returns.
#ifndef KYT_KYTFUZZY_DIALOGRULES_H
#define KYT_KYTFUZZY_DIALOGRULES_H

#include "FuzzyKernel.h"
#include "PageRules.h"
#include "strings/KytfuzzyStrings.h"

#include <string>

const unsigned int kResSetNoVariable = kStrFzNoVariableForSet;
const unsigned int kResSetNameTaken = kStrFzSetNameExists;
const unsigned int kResVariableNameTaken = kStrFzVariableNameExists;
const unsigned int kResCentroidWord = kStrFzCentreOfGravity;
const unsigned int kResMaximumWord = kStrFzMaximum;
// A name that cannot be written into a block or a model.
const unsigned int kResBadName = kStrFzNameRule;

// ---------------------------------------------------------------- names

// A letter followed by letters, digits or "_", and no keyword of the
// fuzzy-block text or of the model language: names are written bare into
// both ("INPUTVAR e;", "MEMBER neg;", "k" + name, name + "d").
bool isValidFuzzyName(const char* name);
// Empty, or starting with a blank: refused without a word.
bool isBlankName(const char* name);

// ---------------------------------------------------------------- configuration

struct ConfigurationTexts {
    std::string name;
    std::string andMethod;
    std::string orMethod;
    std::string inference;
    std::string defuzzification;
};

// "FBlock1" without a name; the methods as the lists show them.
ConfigurationTexts initialConfiguration(const FuzzyBlock* block);
// OK: the name with every '"' turned into '\'' (it is written in double
// quotes); known method words set their method, others leave it.
void applyConfiguration(FuzzyBlock* block, const ConfigurationTexts& texts);

// ---------------------------------------------------------------- new variable and set

// "Variable" + (1 + inputs + outputs).
std::string initialVariableName(const FuzzyBlock* block);
// "Set" + (1 + the variable's sets).
std::string initialSetName(const FuzzyVariable* variable);

// The outcome of an OK: done (the dialog ends with result 1), refused
// silently or with a message (the dialog stays), or ended with result 0.
struct DialogOutcome {
    enum Kind { DONE, REFUSED, ENDED } kind;
    unsigned int message; // 0: none
};

// A new input at the end of the inputs: XMIN "0", XMAX "100", no GRID, no
// sets; it becomes the current variable.
DialogOutcome addVariable(FuzzyBlock* block, const std::string& name, FuzzyPageState& state);

// A new trapezoid at the end of the current variable's sets with the
// default points; colour: the current set's + 1 mod 7, 1 for the first,
// after the last set when none is current. It becomes the current set.
DialogOutcome addSet(const std::string& name, FuzzyPageState& state);

// Renames; an unchanged or taken name is refused without a word. Without
// a current variable (set) the dialog ends with result 1.
DialogOutcome renameVariable(FuzzyBlock* block, const std::string& name, FuzzyPageState& state);
DialogOutcome renameSet(const std::string& name, FuzzyPageState& state);

#endif
