// The fuzzy-block editor's side of the shared fuzzy model: a new block and its
// defaults, the edits of the pages and the checks with the editor's own texts.
#ifndef KYT_KYTFUZZY_FUZZYMODEL_H
#define KYT_KYTFUZZY_FUZZYMODEL_H

#include "FuzzyBlock.h"
#include "FuzzyKernel.h"
#include "strings/KytfuzzyStrings.h"

// The editor keeps the check texts under its own numbers (17705 ... 17719).
extern const FuzzyCheckTexts kFuzzyEditorCheckTexts;
// Texts of the configuration check.
const unsigned int kFuzzyNoConfigurationText = kStrFzNoConfiguration;

// Colour a new member set is given when it follows no other set: as if its
// predecessor had colour 7, so the first set of a variable gets 1 (cyan).
const int kNoPredecessorColor = 7;

// A kernel holding an empty block: no name or comment, configuration words
// all 0 (min, max, max_prod, centroid), no variables, no rules.
FuzzyKernel* newFuzzyBlock();
// An all-empty variable record.
FuzzyVariable* newFuzzyVariable();
// A new member entry after a set of colour predecessorColor: colour
// (c + 1) mod 7, TRAPEZ "0" "0" "0" "0", a position of two empty values, no name.
FuzzyMember* newFuzzyMember(int predecessorColor);

// Inputs first, then outputs; null when missing.
FuzzyVariable* findModelVariable(FuzzyBlock* block, const char* name);
FuzzyMember* findModelMember(FuzzyVariable* variable, const char* name);
bool variableNameInUse(FuzzyBlock* block, const char* name);
bool memberNameInUse(FuzzyVariable* variable, const char* name);

// What removeMember did: Refused keeps the variable's only member set.
enum class MemberRemoval { Removed, NotFound, Refused };
MemberRemoval removeMember(FuzzyVariable* variable, const char* name);
// Unhooks the variable from the block's input or output list (not freed);
// false when it is in neither.
bool removeVariable(FuzzyBlock* block, FuzzyVariable* variable);
// Moves a variable from the outputs to the end of the inputs or back.
bool moveVariable(FuzzyBlock* block, FuzzyVariable* variable);
void freeVariable(FuzzyVariable* variable);
void freeMember(FuzzyMember* member);

// true passed, false failed; the findings are in the kernel's message text.
bool checkAmbiguity(FuzzyKernel* kernel);
bool checkConfiguration(FuzzyKernel* kernel);
bool checkCompleteness(FuzzyKernel* kernel);

#endif
