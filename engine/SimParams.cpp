#include "SimParams.h"

#include <cstring>

SimParams defaultSimParams()
{
    SimParams p;
    memset(&p, 0, sizeof p);
    strcpy(p.FNAME, "nul");
    p.RMODE = 0;
    p.HMODE = 1;
    p.MODE = 0;
    p.IALG = 6;
    p.INITSTEP = 0.1;
    p.MINSTEP = 1e-12;
    p.MAXSTEP = 1.0;
    p.ABSERR = 1e-6;
    p.RELERR = 1e-6;
    p.LIMIT = 1e-6;
    p.XVAR = 0;
    return p;
}

bool setResultFileName(SimParams& params, const char* name)
{
    if (!name || strlen(name) >= static_cast<size_t>(kFileNameSize))
        return false;
    // The bytes after the name are stored in the snapshot: keep them zero.
    memset(params.FNAME, 0, sizeof params.FNAME);
    strcpy(params.FNAME, name);
    return true;
}

#define SIM_FIELD(name, kind) {#name, kind, offsetof(SimParams, name)}

const SimParamField kSimParamFields[] = {
    SIM_FIELD(FNAME, SIM_PARAM_TEXT),      SIM_FIELD(RMODE, SIM_PARAM_INT),
    SIM_FIELD(HMODE, SIM_PARAM_INT),       SIM_FIELD(MODE, SIM_PARAM_INT),
    SIM_FIELD(IALG, SIM_PARAM_INT),        SIM_FIELD(INITSTEP, SIM_PARAM_DOUBLE),
    SIM_FIELD(MINSTEP, SIM_PARAM_DOUBLE),  SIM_FIELD(MAXSTEP, SIM_PARAM_DOUBLE),
    SIM_FIELD(ABSERR, SIM_PARAM_DOUBLE),   SIM_FIELD(RELERR, SIM_PARAM_DOUBLE),
    SIM_FIELD(LIMIT, SIM_PARAM_DOUBLE),    SIM_FIELD(XVAR, SIM_PARAM_INT),
};

const int kSimParamFieldCount = static_cast<int>(sizeof kSimParamFields / sizeof kSimParamFields[0]);

const SimParamField* findSimParamField(const char* name)
{
    for (const SimParamField& f : kSimParamFields)
        if (name && strcmp(f.name, name) == 0)
            return &f;
    return nullptr;
}
