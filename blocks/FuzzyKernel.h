// The inference kernel of one fuzzy block: crisp inputs, rule activations,
// defuzzified outputs; the checks of a freshly read block and the short text
// dumps that outside programs ask for.
#ifndef KYT_BLOCKS_FUZZYKERNEL_H
#define KYT_BLOCKS_FUZZYKERNEL_H

#include "FuzzyBlock.h"

#include <vector>

// One crisp input or output of the kernel, in block order.
struct FuzzyIoNode {
    const char* name;             // the variable's name (not owned)
    double value;
    int index;                    // from 0 in block order
    double minimum;               // value of XMIN
    double maximum;               // value of XMAX
    FuzzyVariable* variable;      // not owned
    FuzzyIoNode* next;
};

// String ids of the texts the checks write. The main program and the fuzzy
// editor keep these texts under numbers of their own, so the caller names them.
struct FuzzyCheckTexts {
    unsigned int noBlock;             // "Es ist kein Fuzzy-Block definiert!"
    unsigned int noInputs;            // checkFuzzyBlock: no input variables
    unsigned int renamedTo;           // " geändert auf "
    unsigned int noOutputs;           // checkFuzzyBlock: no output variables
    unsigned int noRulesAtRules;      // no rule base when the rules are tested
    unsigned int unknownOutput;       // "\nEs gibt keinen Ausgang mit Namen \""
    unsigned int andSoOn;             // "\nund so weiter ..."
    unsigned int unknownSet;          // "\nEs gibt kein Fuzzy-Set mit Namen \""
    unsigned int setOfOutput;         // "\" für Ausgang \""
    unsigned int unknownInput;        // "\nEs gibt keinen Eingang mit Namen \""
    unsigned int setOfInput;          // "\" für Eingang \""
    unsigned int noConfiguration;     // checkFuzzyCompleteness: the missing parts
    unsigned int noInputList;
    unsigned int noOutputList;
    unsigned int noRuleBase;
};

// Points of the centroid and max sweep over an output's range.
const int kFuzzySweepPoints = 101;

// The membership of one output term at every point of its output's sweep.
// The points never change between steps, so the values are computed once;
// the term's shape, parameters and range are kept with them, and a term
// changed since (a new parameter through the library) is computed again.
struct FuzzyTermGrid {
    const FuzzyMemberSet* set;
    int shape;
    double parameters[4];
    double lo;
    double hi;
    double membership[kFuzzySweepPoints];
};

// The numbers of the main program's string table.
extern const FuzzyCheckTexts kFuzzyCheckTexts;

// The kernel's message text: findings of the checks, appended with a bound.
// What does not fit is cut, and the text then ends with the "and so on" text
// and takes nothing more.
class FuzzyMessage {
public:
    static const int kSize = 504;

    FuzzyMessage() { reset(); }
    void reset();
    void append(const char* piece, const char* andSoOn);
    const char* text() const { return buffer; }
    bool isClosed() const { return closed; }

private:
    char buffer[kSize];
    int length;
    bool closed;
};

class FuzzyKernel {
public:
    FuzzyKernel();
    ~FuzzyKernel();

    FuzzyBlock* getBlock() const { return block; }
    // Takes the block; a block held before is freed.
    void setBlock(FuzzyBlock* b);
    FuzzyRuleNode* getRules() const { return block ? block->rules : nullptr; }

    FuzzyIoNode* getInputs() const { return inputs; }
    FuzzyIoNode* getOutputs() const { return outputs; }
    FuzzyIoNode* findInput(const char* name) const;
    FuzzyIoNode* findOutput(const char* name) const;
    FuzzyIoNode* inputAt(double index) const;
    FuzzyIoNode* outputAt(double index) const;

    int getInference() const { return inference; }
    int getDefuzzification() const { return defuzzification; }

    // The check texts and their count.
    FuzzyMessage message;
    int findings;

private:
    friend void FuzzyMethodsSet(FuzzyKernel* kernel);
    friend void SimulateStep(FuzzyKernel* kernel);

    FuzzyKernel(const FuzzyKernel&) = delete;
    FuzzyKernel& operator=(const FuzzyKernel&) = delete;

    void freeIoLists();
    double inferAt(const std::vector<FuzzyRule*>& rules, double x, bool singletonPoint) const;
    double defuzzify(const FuzzyIoNode* o, size_t k) const;
    // The grid of a term of output k, computed again when the term changed.
    const double* termGrid(const FuzzyIoNode* o, size_t k, int grid) const;
    // The aggregated membership of the fired rules of output k at every
    // point of its sweep (rules in activeRules, their grids in activeGrids).
    void aggregate(const FuzzyIoNode* o, size_t k, double* mu) const;

    FuzzyBlock* block;
    // Method slots; AND and OR are always minimum and maximum.
    int inference;                // FuzzyInferenceMethod
    int defuzzification;          // FuzzyDefuzzificationMethod
    FuzzyIoNode* inputs;
    FuzzyIoNode* outputs;
    // Per output node, in list order: the rules that conclude its variable.
    std::vector<std::vector<FuzzyRule*>> outputRules;
    // Per output node, one grid per term its rules conclude, and per rule of
    // outputRules the index of its term's grid (-1: no term).
    mutable std::vector<std::vector<FuzzyTermGrid>> outputGrids;
    std::vector<std::vector<int>> outputRuleGrids;
    // Scratch lists of the rules that fired and of their grids, reused by
    // every step.
    mutable std::vector<FuzzyRule*> activeRules;
    mutable std::vector<int> activeGrids;
};

// Cuts a double toward zero to an index; false for NaN, infinities and
// values beyond the int range.
bool fuzzyCutToInt(double value, int* result);

// Membership of x in the trapezoid (a, b, c, d).
double trapezMembership(double x, const double p[4]);

// After reading: method slots, input and output lists, shape marks of the
// variables, certainty factors of the rules.
void FuzzyMethodsSet(FuzzyKernel* kernel);

// One evaluation step.
void SimulateStep(FuzzyKernel* kernel);

// Inputs are clamped to [XMIN, XMAX]; unknown names and indexes change nothing.
void setFuzzyInput(FuzzyKernel* kernel, const char* name, double value);
void setFuzzyInputAt(FuzzyKernel* kernel, double index, double value);
// Unknown names and indexes give 0.0.
double getFuzzyOutput(FuzzyKernel* kernel, const char* name);
double getFuzzyOutputAt(FuzzyKernel* kernel, double index);

// Certainty factor of rule ruleNumber (0 = first); false beyond the last rule.
bool SetCfOfRule(FuzzyKernel* kernel, const char* cfText, const char* ruleNumber);
// Parameter "1" to "4" of member set member of variable; false when nothing fits.
bool setMemberParameter(FuzzyKernel* kernel, const char* variable, const char* member,
                       const char* number, const char* valueText);

// true accepted, false rejected (findings in the kernel's message text).
bool checkFuzzyBlock(FuzzyKernel* kernel, const FuzzyCheckTexts& texts);
bool checkFuzzyCompleteness(FuzzyKernel* kernel, const FuzzyCheckTexts& texts);

// Text dumps; each a new heap text the caller frees with free(), or null when
// the variable or member set does not exist.
char* dumpFuzzyConfiguration(FuzzyKernel* kernel);
char* dumpFuzzyInputNames(FuzzyKernel* kernel);
char* dumpFuzzyOutputNames(FuzzyKernel* kernel);
char* dumpFuzzyMembers(FuzzyKernel* kernel, const char* variable);
char* dumpFuzzyMemberParameters(FuzzyKernel* kernel, const char* member, const char* variable);
char* dumpFuzzyCertaintyFactors(FuzzyKernel* kernel);

// Frees the kernel object with its block and everything under it.
void freeFuzzyBlock(FuzzyKernel* kernel);

#endif
