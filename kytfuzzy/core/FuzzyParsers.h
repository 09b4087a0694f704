// The editor's four readers of fuzzy-block text, all on the shared grammar and
// scanner: a whole block checked (#4) or built (#1), a rule base alone checked
// (#2) or built (#3). The editor reads plain files (a *.kyb, the extracted
// wizard text, the rule editor's temporary file): no wizard-line positioning,
// no "#" stripping.
#ifndef KYT_KYTFUZZY_FUZZYPARSERS_H
#define KYT_KYTFUZZY_FUZZYPARSERS_H

#include "FuzzyKernel.h"
#include "FuzzyParser.h"

#include <cstdio>
#include <string>

// #2: the rule-base text alone, syntax only.
class RuleCheckParser : public FuzzyCheckParser {
public:
    RuleCheckParser() { setRulesOnly(true); }
};

// #3: the rule-base text alone, built into a rule list (takeRules).
class RuleBaseParser : public FuzzyFileParser {
public:
    RuleBaseParser() { setRulesOnly(true); }
};

// Each gives 0 for accepted text and 1 for a syntax error or a full parser
// stack; *message (when given) then holds the parser's error text. None of
// them reports the error: the caller shows it.

// #4: checks a whole fuzzy-block text; the model is not touched.
int checkFuzzyText(FILE* stream, std::string* message = nullptr);
// #1: builds the block of the text into kernel (replacing the block it held).
int parseFuzzyBlock(FuzzyKernel* kernel, FILE* stream, std::string* message = nullptr);
// #2: checks a rule-base text.
int checkRuleBase(FILE* stream, std::string* message = nullptr);
// #3: builds the rules of the text; they replace the rule list of the
// kernel's block. A text with an error, or a kernel without a block, leaves
// the rules as they were. The kernel is compiled anew (FuzzyMethodsSet)
// before its next evaluation, as after every edit.
int parseRuleBase(FuzzyKernel* kernel, FILE* stream, std::string* message = nullptr);

#endif
