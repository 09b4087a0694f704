// The texts of the rule-base editor, without windows: the frame's rule-base
// text rebuilt from the editor's work file, the print layout of the rules,
// and the block information (the variables and their sets).
#ifndef KYT_KYTFUZZY_RULETEXT_H
#define KYT_KYTFUZZY_RULETEXT_H

#include "FuzzyBlock.h"
#include "FuzzyKernel.h"
#include "strings/KytfuzzyStrings.h"

#include <ctime>
#include <string>

// Columns of a printed line; a longer one goes on after two tabs, counted
// from column 8.
const int kRulePrintColumns = 78;
const int kRuleContinuationColumn = 8;

// The work file's text as the frame keeps it: every line whole (a long rule
// must not be cut inside a name), ended by CR LF; trailing line ends become
// one CR LF.
std::string rebuildRuleText(const std::string& fileText);

// "Wed Jan 02 02:03:55 1980", whatever the process locale.
std::string ruleDateText(std::time_t when);

// The print file: four empty lines, a tab and the frame's title, an empty
// line, a tab and the date, a tab and the comment, three empty lines, then
// the rules without CR, wrapped at 78 columns.
std::string rulePrintLayout(const std::string& title, const std::string& date, const std::string& comment,
                            const std::string& rules);

// The block information of 9010: the warning, then the inputs and the
// outputs with their sets, lines ended by CR LF.
std::string blockInformation(const FuzzyBlock* block);

// The editor control's limit: a longer rule text could not be shown, and
// leaving the editor would replace the rules with nothing.
const size_t kMaxRuleText = 32767;
const unsigned int kResRulesTooLong = kStrFzRulesTooLong;

enum RuleFileResult {
    RULES_UNREADABLE,     // the work file does not open
    RULES_SYNTAX_ERROR,   // the message holds "Rulebase : " and the parser's text; nothing changed
    RULES_SEMANTIC_ERROR, // applied; the message holds the check's text
    RULES_CORRECT         // applied
};

// The work file checked by the syntax parser; when it holds, its rules
// replace the block's and the model's rule check runs.
RuleFileResult applyRuleFile(FuzzyKernel* kernel, const std::string& path, std::string* message);

#endif
