// The simulation settings record: a copy of the circuit's simulation
// parameters that a run works on. The same record, field by field, opens the
// state snapshot simul.dat.
#ifndef KYT_ENGINE_SIMPARAMS_H
#define KYT_ENGINE_SIMPARAMS_H

#include <cstddef>

// Room of FNAME, the NUL included: a name of 80 characters or more does not
// fit.
const int kFileNameSize = 80;

struct SimParams {
    char FNAME[kFileNameSize];   // result file name
    int RMODE;                   // result file form: 0 text, other binary
    int HMODE;                   // 1: write the header and prepare the plot
    int MODE;                    // 0 new run, 1 continue, 2 go on; other: wrong
    int IALG;                    // integration method
    double INITSTEP;
    double MINSTEP;
    double MAXSTEP;
    double ABSERR;
    double RELERR;
    double LIMIT;                // event resolution
    int XVAR;                    // output used as the x axis
};

// FNAME "nul", RMODE 0, HMODE 1, MODE 0, IALG 6, INITSTEP 0.1, MINSTEP
// 1e-12, MAXSTEP 1, ABSERR, RELERR and LIMIT 1e-6, XVAR 0.
SimParams defaultSimParams();

// Copies name into FNAME; false (FNAME unchanged) when it does not fit.
bool setResultFileName(SimParams& params, const char* name);

// One row per field, in record order: its name, its kind and where it lies
// in the record. The snapshot file, the console runner's options and the
// listings walk this table.
enum SimParamKind {
    SIM_PARAM_TEXT,     // char[kFileNameSize]
    SIM_PARAM_INT,      // 32-bit int
    SIM_PARAM_DOUBLE
};

struct SimParamField {
    const char* name;
    SimParamKind kind;
    size_t offset;
};

extern const SimParamField kSimParamFields[];
extern const int kSimParamFieldCount;

// The field of that name (exact, upper case), or null.
const SimParamField* findSimParamField(const char* name);

// Size of the record as the snapshot file stores it: FNAME, four ints, six
// doubles, XVAR and four bytes of padding.
const int kStoredSimParamsSize = 152;

#endif
