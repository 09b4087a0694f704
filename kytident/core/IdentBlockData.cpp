#include "IdentBlockData.h"
#include "strings/IdentStrings.h"
#include "strings/KytidentStrings.h"

namespace {

const IdentLimits kForgetting = {0.0, 1.0, 0.9, 1.0};
const IdentLimits kAlphaLarge = {1.0, 1000000.0, 1000.0, 100000.0};
const IdentLimits kAlphaSmall = {0.0, 10000.0, 1.0, 10000.0};

} // namespace

const IdentMethodRow IdentMethodTable[kIdentWizardMethods] = {
    {kStrIdMethodRls, "LAMBDA ALPHA", 2, {kStrIdentLsLambda, kStrIdentLsAlpha}, {kStrIdRlsForgetting, kStrIdRlsInitial}, {1.0, 10000.0},
     {IDENT_PARAM_FORGETTING, IDENT_PARAM_ALPHA_LARGE}, true},
    {kStrIdMethodRlsQr, "LAMBDA ALPHA", 2, {kStrIdentQrLambda, kStrIdentQrAlpha}, {kStrIdQrForgetting, kStrIdQrInitial}, {1.0, 100.0},
     {IDENT_PARAM_FORGETTING, IDENT_PARAM_ALPHA_SMALL}, false},
    {kStrIdentMethodInstrumental, "LAMBDA ALPHA GAMMA D", 4, {kStrIdentIvLambda, kStrIdentIvAlpha, kStrIdentIvGamma, kStrIdentIvD}, {kStrIdIvForgetting, kStrIdIvInitial, kStrIdIvWeight, kStrIdIvDelay},
     {1.0, 10000.0, 0.9, 2.0},
     {IDENT_PARAM_FORGETTING, IDENT_PARAM_ALPHA_LARGE, IDENT_PARAM_FORGETTING, IDENT_PARAM_DELAY}, true},
    {kStrIdMethodExtended, "LAMBDA ALPHA FILTERDEG", 3, {kStrIdentElsLambda, kStrIdentElsAlpha, kStrIdentElsFilterDegree}, {kStrIdElsForgetting, kStrIdElsInitial, kStrIdElsFilterNumerator}, {1.0, 10000.0, 2.0},
     {IDENT_PARAM_FORGETTING, IDENT_PARAM_ALPHA_LARGE, IDENT_PARAM_FILTER}, true},
    {kStrIdMethodTotal, "LAMBDA ALPHA", 2, {kStrIdentTlsLambda, kStrIdentTlsAlpha}, {kStrIdTlsForgetting, kStrIdTlsInitial}, {1.0, 100.0},
     {IDENT_PARAM_FORGETTING, IDENT_PARAM_ALPHA_SMALL}, true},
    {kStrIdMethodAdjusted, "LAMBDA ALPHA", 2, {kStrIdentAlsLambda, kStrIdentAlsAlpha}, {kStrIdAlsForgetting, kStrIdAlsInitial}, {1.0, 100.0},
     {IDENT_PARAM_FORGETTING, IDENT_PARAM_ALPHA_SMALL}, false},
};

const IdentLimits* identLimitsOf(IdentParameterKind kind)
{
    switch (kind) {
    case IDENT_PARAM_FORGETTING:
        return &kForgetting;
    case IDENT_PARAM_ALPHA_LARGE:
        return &kAlphaLarge;
    case IDENT_PARAM_ALPHA_SMALL:
        return &kAlphaSmall;
    default:
        return nullptr;
    }
}

bool isOfferedIdentMethod(int method)
{
    return method >= 0 && method < kIdentWizardMethods && IdentMethodTable[method].offered;
}

int identMethodOfItem(int item)
{
    for (int method = 0; method < kIdentWizardMethods; ++method) {
        if (!IdentMethodTable[method].offered)
            continue;
        if (item-- == 0)
            return method;
    }
    return -1;
}

int identItemOfMethod(int method)
{
    if (!isOfferedIdentMethod(method))
        return -1;
    int item = 0;
    for (int m = 0; m < method; ++m)
        item += IdentMethodTable[m].offered ? 1 : 0;
    return item;
}

int identOfferedMethodCount()
{
    int count = 0;
    for (const IdentMethodRow& row : IdentMethodTable)
        count += row.offered ? 1 : 0;
    return count;
}

std::vector<std::string> identParameterKeys(int method)
{
    std::vector<std::string> keys;
    std::string all = IdentMethodTable[method].keys;
    size_t i = 0;
    while (i < all.size()) {
        size_t end = all.find(' ', i);
        if (end == std::string::npos)
            end = all.size();
        if (end > i)
            keys.push_back(all.substr(i, end - i));
        i = end + 1;
    }
    return keys;
}

void IdentBlockData::setDefaults()
{
    numDeg = 1;
    denDeg = 2;
    sample = 1.0;
    dead = 0.0;
    pOutput = 0;
    gOutput = 0;
    setMethod(0);
}

void IdentBlockData::setMethod(int method)
{
    algo = method;
    const IdentMethodRow& row = IdentMethodTable[method];
    for (int i = 0; i < kMaxIdentParameters; ++i)
        params[i] = i < row.parameterCount ? row.defaults[i] : 0.0;
}

int IdentBlockData::parameterCount() const
{
    return IdentMethodTable[algo].parameterCount;
}

std::string IdentBlockData::blockPath() const
{
    return directory + "\\" + blockName;
}

std::vector<IdentKey> buildIdentKeyTable(int method)
{
    std::vector<IdentKey> table;
    for (const char* name : {"NUM_DEG", "DEN_DEG", "SAMPLE", "DEAD", "POUTPUT", "GOUTPUT"}) {
        table.emplace_back();
        table.back().name = name;
    }
    for (const std::string& key : identParameterKeys(method)) {
        table.emplace_back();
        table.back().name = key;
    }
    return table;
}
