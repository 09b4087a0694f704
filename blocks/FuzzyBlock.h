// The in-memory model of one fuzzy controller, as the fuzzy-block text
// describes it. Every number is kept as the text that was read, so that
// writing the block gives back the same text; the kernel converts the texts
// when it needs the values.
//
// Texts in the records are heap copies (fuzzyCopyText) owned by the record
// that holds them. The builders take ownership of the texts and records
// handed to them; the records of a finished block belong to its kernel
// object and are freed with it.
#ifndef KYT_BLOCKS_FUZZYBLOCK_H
#define KYT_BLOCKS_FUZZYBLOCK_H

#include <cstddef>
#include <cstdint>

class FuzzyKernel;
struct FuzzyIoNode;

// Kinds of premise nodes; 4 was never used by the stored format.
enum FuzzyPremiseKind {
    FZ_PREMISE_AND = 0,
    FZ_PREMISE_OR = 1,
    FZ_PREMISE_NOT = 2,
    FZ_PREMISE_COMPARE = 3,
    FZ_PREMISE_NAME = 5
};

enum FuzzyShape {
    FZ_SHAPE_TRAPEZ = 0,
    FZ_SHAPE_SINGLETON = 1
};

// Method words of the configuration.
enum FuzzyInferenceMethod {
    FZ_INFERENCE_MAX_PROD = 0,
    FZ_INFERENCE_MAX_MIN = 1
};
enum FuzzyDefuzzificationMethod {
    FZ_DEFUZZ_CENTROID = 0,
    FZ_DEFUZZ_MAX = 1
};

// Colour index of a member set: 0 to 7, kFuzzyNoColor for none.
const int kFuzzyNoColor = 8;
const int kFuzzyColorCount = 8;
// English colour names of the text, by index.
extern const char* const kFuzzyColorNames[kFuzzyColorCount];

struct FuzzyConfiguration {
    int32_t andMethod;            // 0 = min, always
    int32_t orMethod;             // 0 = max, always
    int32_t inference;            // FuzzyInferenceMethod
    int32_t defuzzification;      // FuzzyDefuzzificationMethod
};

struct FuzzyMemberSet {
    int shape;                    // FuzzyShape
    char* text[4];                // parameter texts; SINGLETON uses the first
    double value[4];              // the texts as numbers, filled when the block is finished
};

// A position pair; only positions with two values are kept.
struct FuzzyPosition {
    char* first;
    char* second;
};

struct FuzzyMember {
    char* name;
    FuzzyMemberSet* set;
    int color;                    // 0 to 7, or kFuzzyNoColor
    FuzzyPosition* position;      // or null
    FuzzyMember* next;
};

struct FuzzyVariable {
    char* name;
    char* xmin;
    char* xmax;
    char* grid;                   // or null
    int hasTrapez;                // shape marks, filled by FuzzyMethodsSet
    int hasSingleton;
    FuzzyMember* members;
    FuzzyVariable* next;
};

struct FuzzyPremise {
    int kind;                     // FuzzyPremiseKind
    FuzzyPremise* left;
    FuzzyPremise* right;          // NOT keeps its operand here
    char* name;                   // name leaves only
    // A comparison resolved by FuzzyMethodsSet (not owned).
    FuzzyIoNode* input;
    FuzzyMemberSet* set;
};

struct FuzzyConclusion {
    char* output;
    char* term;
    double activation;            // written by each evaluation step
    // Resolved by FuzzyMethodsSet (not owned).
    FuzzyVariable* variable;
    FuzzyMemberSet* set;
};

struct FuzzyRule {
    FuzzyPremise* premise;
    FuzzyConclusion* conclusion;
    char* cfText;                 // the WITH text, or null
    double cf;
};

struct FuzzyRuleNode {
    FuzzyRule* rule;
    FuzzyRuleNode* next;
};

struct FuzzyBlock {
    char* name;                   // without quotes; or null
    char* comment;                // or null
    FuzzyConfiguration* config;
    FuzzyVariable* inputs;
    FuzzyVariable* outputs;
    FuzzyRuleNode* rules;

    // Builds the block record from the parts of the build pass, hangs it on
    // the kernel object (replacing and freeing a block it held) and converts
    // the parameter texts of every member set to numbers.
    static FuzzyBlock* finish(FuzzyKernel* kernel, char* name, FuzzyConfiguration* config,
                              FuzzyVariable* inputs, FuzzyVariable* outputs, FuzzyRuleNode* rules,
                              char* comment);
};

// Heap copy of the first n characters of s (NUL added).
char* fuzzyCopyText(const char* s, size_t n);
char* fuzzyCopyText(const char* s);

// Value of a number text: the longest leading decimal number after blanks
// (optional sign, digits with an optional point, optional exponent); 0 when
// there is none. A null text gives 0.
double fuzzyTextValue(const char* text);

// Builder actions of the build pass.
FuzzyPremise* makeLogicNode(const char* op, FuzzyPremise* left, FuzzyPremise* right);
FuzzyPremise* makeCompareNode(const char* op, char* variable, char* term);
FuzzyConclusion* makeConclusion(char* output, char* term);
FuzzyRule* makeRule(FuzzyPremise* premise, FuzzyConclusion* conclusion, char* cfText);
FuzzyRuleNode* newNameList(FuzzyRule* rule);
FuzzyRuleNode* appendNameList(FuzzyRuleNode* list, FuzzyRule* rule);
FuzzyConfiguration* makeConfiguration(char* andWord, char* orWord, char* inferenceWord,
                                      char* defuzzificationWord);
FuzzyPosition* makeNamedValue(char* first, char* second);
int colorIndex(char* word);
FuzzyMemberSet* makeMember(const char* shapeWord, char* a, char* b, char* c, char* d);
FuzzyMember* appendMember(FuzzyMember* list, char* name, FuzzyMemberSet* set, int color,
                          FuzzyPosition* position);
FuzzyVariable* makeVariable(char* name, char* xmin, char* xmax, char* grid, FuzzyMember* members);
FuzzyVariable* appendVariable(FuzzyVariable* list, FuzzyVariable* variable);

// Freeing of records and of the partial results of a pass that stopped.
void freePremise(FuzzyPremise* p);
void freeConclusion(FuzzyConclusion* c);
void freeRule(FuzzyRule* r);
void freeRuleList(FuzzyRuleNode* list);
void freeConfiguration(FuzzyConfiguration* c);
void freePosition(FuzzyPosition* p);
void freeMemberSet(FuzzyMemberSet* s);
void freeMembers(FuzzyMember* list);
void freeVariables(FuzzyVariable* list);
void freeBlockRecord(FuzzyBlock* block);

// Lookups by name (exact, case included); null when missing.
FuzzyVariable* findVariable(FuzzyVariable* list, const char* name);
FuzzyMember* findMember(FuzzyVariable* variable, const char* name);

#endif
