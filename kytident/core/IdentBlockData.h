// The identification wizard's document: the settings of one identification
// block, and the method table that gives each method its parameters, their
// defaults and the limits the dialog checks them against.
#ifndef KYT_KYTIDENT_IDENTBLOCKDATA_H
#define KYT_KYTIDENT_IDENTBLOCKDATA_H

#include <string>
#include <vector>

const int kIdentWizardMethods = 6;
const int kMaxIdentParameters = 5;
// The order fields hold two digits ("##").
const int kMaxIdentWizardOrder = 99;

// What a method parameter is checked against (OK of the dialog).
enum IdentParameterKind {
    IDENT_PARAM_FORGETTING,   // Lambda, and Gamma of the instrumental variables
    IDENT_PARAM_ALPHA_LARGE,  // Alpha of methods 0, 2, 3
    IDENT_PARAM_ALPHA_SMALL,  // Alpha of methods 1, 4, 5
    IDENT_PARAM_DELAY,        // d of the instrumental variables: a whole number 1 .. 2n
    IDENT_PARAM_FILTER        // Filtergrad of extended least squares: a whole number 0 .. n
};

// {hard minimum, hard maximum, soft minimum, soft maximum}: outside the hard
// limits a value is refused, outside the soft ones the user is asked.
struct IdentLimits {
    double hardMin;
    double hardMax;
    double softMin;
    double softMax;
};

// The limits of a kind; null for d and Filtergrad, which have checks of
// their own.
const IdentLimits* identLimitsOf(IdentParameterKind kind);

struct IdentMethodRow {
    unsigned int nameId;
    // Keys of the parameters' data lines, blank-separated.
    const char* keys;
    int parameterCount;
    unsigned int parameterNameIds[kMaxIdentParameters];
    unsigned int labelIds[kMaxIdentParameters];
    double defaults[kMaxIdentParameters];
    IdentParameterKind kinds[kMaxIdentParameters];
    // Methods 1 and 5 are not offered: the dialog does not list them and
    // IDOPEN refuses them.
    bool offered;
};

extern const IdentMethodRow IdentMethodTable[kIdentWizardMethods];

bool isOfferedIdentMethod(int method);

// The dialog's method list holds the offered methods in number order: item
// 0 is method 0, item k > 0 method k + 1. -1 for anything else.
int identMethodOfItem(int item);
int identItemOfMethod(int method);
int identOfferedMethodCount();

// The method's data-line keys, split.
std::vector<std::string> identParameterKeys(int method);

// The document. The settings come first; the names say where the block file
// lies and where the help is.
struct IdentBlockData {
    IdentBlockData() { setDefaults(); }

    int algo;     // ALGO, the method
    int numDeg;   // NUM_DEG, numerator order m
    int denDeg;   // DEN_DEG, denominator order n
    double params[kMaxIdentParameters];
    double sample;  // SAMPLE, Tsamp in seconds
    double dead;    // DEAD, dead time in seconds
    int pOutput;    // POUTPUT: the coefficients are block outputs
    int gOutput;    // GOUTPUT: 0 no result window, 1 G(z), 2 G(s) with Gh0, 3 G(s) with Ghp

    std::string blockName;
    std::string directory;
    std::string helpPath;
    char shiftLetter = 'z';  // of the discrete output option and the help texts

    // The settings of a new block; the names stay.
    void setDefaults();
    // Another method, with its default parameters.
    void setMethod(int method);
    int parameterCount() const;
    // directory, a backslash and the block name.
    std::string blockPath() const;
};

// One row of the key table: the data lines of a block, in the order they
// are written.
struct IdentKey {
    std::string name;
    double value = 0.0;
    bool found = false;
};

// NUM_DEG, DEN_DEG, SAMPLE, DEAD, POUTPUT, GOUTPUT, then the method's keys.
std::vector<IdentKey> buildIdentKeyTable(int method);
const int kIdentFixedKeys = 6;

#endif
