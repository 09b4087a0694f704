#include "IdentChecks.h"

#include "IdentBlockFile.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "strings/KytidentStrings.h"

#include <cmath>

namespace {


// The main checks come first; parameter i is check kFirstParameterCheck + i.
enum { CHECK_NUM_DEG, CHECK_DEN_DEG, CHECK_SAMPLE, CHECK_DEAD, CHECK_DEAD_MULTIPLE, kFirstParameterCheck };

IdentFinding mainFinding(int check, IdentField field, IdentBoxKind kind, unsigned int textId)
{
    IdentFinding f;
    f.found = true;
    f.check = check;
    f.field = field;
    f.message = identMessage(kind, textId, kind == IDENT_BOX_QUESTION ? kIdentCaptionWarning : kIdentCaptionError);
    return f;
}

// "<name> " + text [+ limit + tail].
IdentFinding parameterFinding(const IdentBlockData& doc, int i, IdentBoxKind kind, unsigned int textId,
                              const double* limit = nullptr, unsigned int tailId = 0)
{
    IdentFinding f;
    f.found = true;
    f.check = kFirstParameterCheck + i;
    f.field = IDENT_FIELD_PARAMETER;
    f.parameter = i;
    f.message.kind = kind;
    f.message.textId = textId;
    f.message.captionId = kind == IDENT_BOX_QUESTION ? kIdentCaptionWarning : kIdentCaptionError;
    std::string text = getResString(IdentMethodTable[doc.algo].parameterNameIds[i]);
    text += " ";
    text += getResString(textId);
    if (limit) {
        text += formatDouble(*limit).text();
        text += getResString(tailId);
    }
    f.message.text = text;
    return f;
}

IdentFinding checkLimits(const IdentBlockData& doc, int i, const IdentLimits& r)
{
    const double v = doc.params[i];
    if (v < r.hardMin)
        return parameterFinding(doc, i, IDENT_BOX_ERROR, kStrIdLessThan, &r.hardMin, kStrIdNotAllowed);
    if (v > r.hardMax)
        return parameterFinding(doc, i, IDENT_BOX_ERROR, kStrIdGreaterThan, &r.hardMax, kStrIdNotAllowed);
    if (v < r.softMin)
        return parameterFinding(doc, i, IDENT_BOX_QUESTION, kStrIdIsLessThan, &r.softMin, kStrIdMayNotConverge);
    if (v > r.softMax)
        return parameterFinding(doc, i, IDENT_BOX_QUESTION, kStrIdIsGreaterThan, &r.softMax, kStrIdMayNotConverge);
    return IdentFinding();
}

bool isWhole(double v)
{
    return std::trunc(v) == v;
}

IdentFinding checkParameter(const IdentBlockData& doc, int i)
{
    const double v = doc.params[i];
    switch (IdentMethodTable[doc.algo].kinds[i]) {
    case IDENT_PARAM_DELAY:
        if (!isWhole(v))
            return parameterFinding(doc, i, IDENT_BOX_ERROR, kStrIdMustBeInteger);
        if (v < 0)
            return parameterFinding(doc, i, IDENT_BOX_ERROR, kStrIdMustBePositive);
        if (v < 1)
            return parameterFinding(doc, i, IDENT_BOX_ERROR, kStrIdMustBeAboveZero);
        if (v > 2.0 * doc.denDeg)
            return parameterFinding(doc, i, IDENT_BOX_QUESTION, kStrIdSoLargeMayNotConverge);
        return IdentFinding();
    case IDENT_PARAM_FILTER:
        if (!isWhole(v))
            return parameterFinding(doc, i, IDENT_BOX_ERROR, kStrIdMustBeInteger);
        if (v < 0)
            return parameterFinding(doc, i, IDENT_BOX_ERROR, kStrIdMustBePositive);
        if (v > doc.denDeg)
            return parameterFinding(doc, i, IDENT_BOX_ERROR, kStrIdAboveSystemDenominator);
        return IdentFinding();
    default:
        return checkLimits(doc, i, *identLimitsOf(IdentMethodTable[doc.algo].kinds[i]));
    }
}

double deadSteps(const IdentBlockData& doc)
{
    return std::trunc((0.5 * doc.sample + doc.dead) / doc.sample);
}

} // namespace

IdentFinding findIdentProblem(const IdentBlockData& doc, int from)
{
    if (from <= CHECK_NUM_DEG && doc.numDeg > doc.denDeg)
        return mainFinding(CHECK_NUM_DEG, IDENT_FIELD_NUM_DEG, IDENT_BOX_ERROR, kStrIdNumeratorAboveDenominator);
    if (from <= CHECK_DEN_DEG && doc.denDeg <= 0)
        return mainFinding(CHECK_DEN_DEG, IDENT_FIELD_DEN_DEG, IDENT_BOX_ERROR, kStrIdDenominatorNotPositive);
    if (from <= CHECK_SAMPLE && !(doc.sample > 0))
        return mainFinding(CHECK_SAMPLE, IDENT_FIELD_SAMPLE, IDENT_BOX_ERROR, kStrIdSampleTimeNotPositive);
    if (from <= CHECK_DEAD && doc.dead < 0)
        return mainFinding(CHECK_DEAD, IDENT_FIELD_DEAD, IDENT_BOX_ERROR, kStrIdNegativeDeadTime);
    if (from <= CHECK_DEAD_MULTIPLE && std::fabs(doc.dead - deadSteps(doc) * doc.sample) >= 1e-6 * doc.sample)
        return mainFinding(CHECK_DEAD_MULTIPLE, IDENT_FIELD_DEAD, IDENT_BOX_QUESTION, kStrIdDeadTimeNotMultiple);
    for (int i = from > kFirstParameterCheck ? from - kFirstParameterCheck : 0; i < doc.parameterCount(); ++i) {
        IdentFinding f = checkParameter(doc, i);
        if (f.found)
            return f;
    }
    return IdentFinding();
}

bool applyIdentAnswer(IdentBlockData* doc, const IdentFinding& finding, bool yes)
{
    if (!finding.found)
        return true;
    if (finding.message.kind != IDENT_BOX_QUESTION || !yes)
        return false;
    if (finding.check == CHECK_DEAD_MULTIPLE) {
        doc->dead = deadSteps(*doc) * doc->sample;
        return false;
    }
    return true;
}

IdentFinding checkIdentData(IdentBlockData* doc, const IdentAsk& ask)
{
    int from = 0;
    for (;;) {
        IdentFinding f = findIdentProblem(*doc, from);
        if (!f.found)
            return f;
        const bool yes = ask ? ask(f.message) : false;
        if (!applyIdentAnswer(doc, f, yes))
            return f;
        from = f.check + 1;
    }
}

IdentConfirmResult confirmIdentData(IdentBlockData* doc, const IdentAsk& ask, const std::string& date,
                                    IdentFinding* stop)
{
    IdentFinding f = checkIdentData(doc, ask);
    if (stop)
        *stop = f;
    if (f.found)
        return IDENT_CONFIRM_STAY;
    if (writeIdentBlock(*doc, date))
        return IDENT_CONFIRM_WRITTEN;
    if (ask)
        ask(identMessage(IDENT_BOX_ERROR, kIdentNotSaved, kIdentCaptionError));
    return IDENT_CONFIRM_FAILED;
}
