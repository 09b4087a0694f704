#include "Estimators.h"

#include "Assert.h"
#include "CheckedHeap.h"
#include "IdentHost.h"
#include "MeschachGuard.h"
#include "ResString.h"
#include "strings/IdentStrings.h"

#include <cmath>
#include <cstdlib>

namespace {

// ---------------------------------------------------------------------------
// Method parameters: names, limits (inclusive) and defaults, one table.

enum UpperLimit { UPPER_FIXED, UPPER_NA, UPPER_TWICE_NA };

struct ParameterRow {
    unsigned int nameId;
    double lower;
    double upper;       // for UPPER_FIXED
    int upperFrom;      // UPPER_*: the upper limit follows na
    int integral;       // the value must be a whole number
    double defaultValue;  // never above the upper limit (min(default, upper))
};

struct MethodRow {
    unsigned int nameId;
    int count;
    ParameterRow params[4];
};

const MethodRow methodRows[kIdentMethodCount] = {
    {kStrIdentMethodLeastSquares, 2, {{kStrIdentLsLambda, 0, 1, UPPER_FIXED, 0, 1.0}, {kStrIdentLsAlpha, 1, 1e6, UPPER_FIXED, 0, 10000.0}}},
    {kStrIdentMethodLeastSquaresQr, 2, {{kStrIdentQrLambda, 0, 1, UPPER_FIXED, 0, 1.0}, {kStrIdentQrAlpha, 0, 1e4, UPPER_FIXED, 0, 100.0}}},
    {kStrIdentMethodInstrumental, 4,
     {{kStrIdentIvLambda, 0, 1, UPPER_FIXED, 0, 1.0},
      {kStrIdentIvAlpha, 1, 1e6, UPPER_FIXED, 0, 10000.0},
      {kStrIdentIvGamma, 0, 1, UPPER_FIXED, 0, 0.9},
      {kStrIdentIvD, 1, 0, UPPER_TWICE_NA, 1, 2.0}}},
    {kStrIdentMethodExtended, 3,
     {{kStrIdentElsLambda, 0, 1, UPPER_FIXED, 0, 1.0},
      {kStrIdentElsAlpha, 1, 1e6, UPPER_FIXED, 0, 10000.0},
      {kStrIdentElsFilterDegree, 0, 0, UPPER_NA, 1, 2.0}}},
    {kStrIdentMethodTotal, 2, {{kStrIdentTlsLambda, 0, 1, UPPER_FIXED, 0, 1.0}, {kStrIdentTlsAlpha, 0, 1e4, UPPER_FIXED, 0, 100.0}}},
    {kStrIdentMethodAdjusted, 2, {{kStrIdentAlsLambda, 0, 1, UPPER_FIXED, 0, 1.0}, {kStrIdentAlsAlpha, 0, 1e4, UPPER_FIXED, 0, 100.0}}},
};

// Parameter indexes shared by all methods, and those of methods 2 and 3.
const int P_LAMBDA = 0;
const int P_ALPHA = 1;
const int P_GAMMA = 2;
const int P_DIV = 3;
const int P_FILTERGRAD = 2;

double upperLimit(const ParameterRow& p, int na)
{
    switch (p.upperFrom) {
    case UPPER_NA: return na;
    case UPPER_TWICE_NA: return 2.0 * na;
    default: return p.upper;
    }
}

bool isIntegral(double v)
{
    return std::isfinite(v) && v == std::trunc(v);
}

void reportRefusedParameter(int method, int index, const char* format)
{
    const HostServices& host = identHostServices();
    if (host.alwaysFalse(kIdentErrorKey) == 0)
        host.moduleMessage(1, format, getResString(methodRows[method].nameId),
                           getResString(methodRows[method].params[index].nameId),
                           getResString(kTextParameterOutOfRange));
    host.isCompiling(kIdentErrorKey);
    host.requestErrorStop(0);
}

template <int M>
int checkParameter(int index, double value, int na)
{
    if (index < 0 || index >= methodRows[M].count)
        return 0;
    const ParameterRow& p = methodRows[M].params[index];
    // The two whole-number parameters are reported without the blank after
    // the line break; the texts must stay as users know them.
    if (p.integral && !isIntegral(value)) {
        reportRefusedParameter(M, index, " %s\n%s : %s");
        return 0;
    }
    if (!(value >= p.lower && value <= upperLimit(p, na))) {
        reportRefusedParameter(M, index, " %s\n %s : %s");
        return 0;
    }
    return 1;
}

template <int M>
unsigned int parameterInfo(int i)
{
    if (i == -1)
        return static_cast<unsigned int>(methodRows[M].count);
    if (i >= 0 && i < methodRows[M].count)
        return methodRows[M].params[i].nameId;
    return kTextIllegalParameter;
}

int checkAllParameters(const EstimatorRecord* r)
{
    const IdentMethod& m = identMethods[r->method];
    int n = static_cast<int>(m.paramInfo(-1));
    for (int i = 0; i < n; ++i)
        if (!m.check(i, r->params[i], r->na))
            return 0;
    return 1;
}

// ---------------------------------------------------------------------------
// Allocation of the Meschach members of a state, all or nothing.

struct Member {
    const char* name;  // as the assertion names it
    VEC** vec;         // one of vec and mat
    MAT** mat;
    int rows;
    int cols;
};

// A plain list (it is read inside guarded work, where nothing may need a
// destructor); release() frees it.
struct MemberList {
    Member* items;
    int count;
    int capacity;
    void start(int n)
    {
        items = static_cast<Member*>(CheckedAlloc(sizeof(Member) * static_cast<size_t>(n)));
        count = 0;
        capacity = n;
    }
    void release() { free(items); }
    void vec(const char* name, VEC** slot, int dim)
    {
        KYT_ASSERT(count < capacity);
        items[count++] = {name, slot, nullptr, dim, 0};
    }
    void mat(const char* name, MAT** slot, int rows, int cols)
    {
        KYT_ASSERT(count < capacity);
        items[count++] = {name, nullptr, slot, rows, cols};
    }
};

const int kStateMembers = 16;

void allocateMembersWork(MeschachGuard& g, void* p)
{
    MemberList* l = static_cast<MemberList*>(p);
    for (int i = 0; i < l->count; ++i) {
        Member& m = l->items[i];
        if (m.vec)
            *m.vec = g.getVec(m.rows);
        else
            *m.mat = g.getMat(m.rows, m.cols);
    }
}

// Allocates the listed members and frees the list.
void allocateMembers(MemberList& l)
{
    for (int i = 0; i < l.count; ++i) {
        if (l.items[i].vec)
            *l.items[i].vec = nullptr;
        else
            *l.items[i].mat = nullptr;
    }
    MeschachGuard g;
    if (!g.run(allocateMembersWork, &l)) {
        for (int i = 0; i < l.count; ++i) {
            const Member& m = l.items[i];
            if ((m.vec && !*m.vec) || (m.mat && !*m.mat))
                AssertFailed(m.name, __FILE__, __LINE__);
        }
        AssertFailed("Meschach", __FILE__, __LINE__);
    }
    g.keepAll();
    l.release();
}

void freeMembersWork(MeschachGuard&, void* p)
{
    MemberList* l = static_cast<MemberList*>(p);
    for (int i = 0; i < l->count; ++i) {
        Member& m = l->items[i];
        if (m.vec && *m.vec) {
            VEC* v = *m.vec;
            *m.vec = nullptr;
            v_free(v);
        } else if (m.mat && *m.mat) {
            MAT* a = *m.mat;
            *m.mat = nullptr;
            m_free(a);
        }
    }
}

// Frees the listed members and the list.
void freeMembers(MemberList& l)
{
    MeschachGuard g;
    g.run(freeMembersWork, &l);
    l.release();
}

// The members of a state that its list function names.
template <typename State>
void allocateMembers(State* s, void (*list)(State*, MemberList&))
{
    MemberList l;
    list(s, l);
    allocateMembers(l);
}

template <typename State>
void freeMembers(State* s, void (*list)(State*, MemberList&))
{
    MemberList l;
    list(s, l);
    freeMembers(l);
}

double* newHistory(int length)
{
    return static_cast<double*>(checkedCalloc(sizeof(double) * static_cast<size_t>(length)));
}

// Every method's state starts with the orders, the dead time and the input
// history (na + d + 1 values); the rest is zero.
template <typename State>
State* newState(int nb, int na, int d)
{
    State* s = static_cast<State*>(checkedCalloc(sizeof(State)));
    s->nb = nb;
    s->na = na;
    s->d = d;
    s->uHist = newHistory(na + d + 1);
    return s;
}

void clearHistory(double* h, int length)
{
    for (int i = 0; i < length; ++i)
        h[i] = 0.0;
}

// Shifts a newest-first history by one place and puts v in front.
void pushHistory(double* h, int length, double v)
{
    for (int i = length - 1; i > 0; --i)
        h[i] = h[i - 1];
    if (length > 0)
        h[0] = v;
}

// u(k - (na + d - nb + 1 + i)): the input part of the regressor, i = 0..nb-1.
double inputTerm(const double* uHist, int nb, int na, int d, int i)
{
    return uHist[na + d - nb + 1 + i];
}

// ---------------------------------------------------------------------------
// Running one step or one reset under the guard.

struct StepContext {
    EstimatorRecord* record;
    double u;
    double y;
    double e;
};

double runStep(EstimatorRecord* r, double u, double y, MeschachGuard::Work work)
{
    StepContext c = {r, u, y, 0.0};
    MeschachGuard g;
    if (!g.run(work, &c)) {
        identReportError("ID_STEP", kTextMathError);
        return 0.0;
    }
    return c.e;
}

// Input and output must be numbers: a NaN would sit in the state for good,
// and the SVD of a later step would never end.
void requireFiniteSample(MeschachGuard& g, const StepContext* c)
{
    if (!std::isfinite(c->u) || !std::isfinite(c->y))
        g.fail();
}

void requireFiniteResult(MeschachGuard& g, const StepContext* c, const VEC* theta, const MAT* factor)
{
    if (!std::isfinite(c->e) || !allFinite(theta) || !allFinite(factor))
        g.fail();
}

// P := Alpha * I (or R := Alpha * I).
struct ScaledIdentity {
    MAT* m;
    double alpha;
};

void scaledIdentityWork(MeschachGuard&, void* p)
{
    ScaledIdentity* s = static_cast<ScaledIdentity*>(p);
    m_ident(s->m);
    sm_mlt(s->alpha, s->m, s->m);
}

void setScaledIdentity(MAT* m, double alpha)
{
    ScaledIdentity s = {m, alpha};
    MeschachGuard g;
    // Cannot fail for an allocated square matrix.
    g.run(scaledIdentityWork, &s);
}

// q := hv1 / (lambda + phi' * hv1) and P := (P_ - q * phi' * P_) / lambda.
// Lambda was once checked and stored but left out of this update, so a
// forgetting factor forgot nothing; at lambda = 1 it is the plain update.
// Lambda = 0 divides by zero, and the step's finiteness check reports it.
void forgettingGainAndCovariance(VEC* phi, VEC* hv1, VEC* hv2, VEC* q, MAT* P_, MAT* hM1, MAT* P,
                                 double lambda)
{
    double den = lambda + in_prod(phi, hv1);
    sv_mlt(1.0 / den, hv1, q);
    vm_mlt(P_, phi, hv2);  // hv2' = phi' * P_
    int n = static_cast<int>(q->dim);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            hM1->me[i][j] = q->ve[i] * hv2->ve[j];
    m_sub(P_, hM1, P);
    sm_mlt(1.0 / lambda, P, P);
}

// ---------------------------------------------------------------------------
// Least squares (method 0) and extended least squares (method 3).

struct LsState {
    int nb, na, d;
    int L;  // noise-filter coefficients (method 3; 0 for method 0)
    int n;  // na + nb + L
    double* uHist;     // na + d + 1
    double* residual;  // method 3: na + 1 residuals, newest first
    double yPrev;
    double e;
    VEC *theta, *theta_, *phi, *phi_, *q, *hv1, *hv2;
    MAT *P, *P_, *hM1;
};

void lsMembers(LsState* s, MemberList& l)
{
    l.start(kStateMembers);
    int n = s->n;
    l.vec("p->theta", &s->theta, n);
    l.vec("p->theta_", &s->theta_, n);
    l.vec("p->phi", &s->phi, n);
    l.vec("p->phi_", &s->phi_, n);
    l.vec("p->q", &s->q, n);
    l.vec("p->hv1", &s->hv1, n);
    l.vec("p->hv2", &s->hv2, n);
    l.mat("p->P", &s->P, n, n);
    l.mat("p->P_", &s->P_, n, n);
    l.mat("p->hM1", &s->hM1, n, n);
}

LsState* newLsState(int nb, int na, int d, int L)
{
    LsState* s = newState<LsState>(nb, na, d);
    s->L = L;
    s->n = na + nb + L;
    s->residual = newHistory(na + 1);
    allocateMembers(s, lsMembers);
    return s;
}

void* createLs(int nb, int na, int d)
{
    return newLsState(nb, na, d, 0);
}

// Method 3 starts with the filter of degree 0; the reset re-creates the
// state for the Filtergrad set by then.
void* createEls(int nb, int na, int d)
{
    return newLsState(nb, na, d, 1);
}

void freeLsState(LsState* s)
{
    freeMembers(s, lsMembers);
    free(s->uHist);
    free(s->residual);
    free(s);
}

void freeLs(EstimatorRecord* r)
{
    if (r->state)
        freeLsState(static_cast<LsState*>(r->state));
    r->state = nullptr;
}

int resetLs(EstimatorRecord* r, int)
{
    if (!checkAllParameters(r))
        return 0;
    LsState* s = static_cast<LsState*>(r->state);
    clearHistory(s->uHist, s->na + s->d + 1);
    setScaledIdentity(s->P, r->params[P_ALPHA]);
    return 1;
}

int resetEls(EstimatorRecord* r, int full)
{
    if (!checkAllParameters(r))
        return 0;
    r->params[P_FILTERGRAD] = std::trunc(r->params[P_FILTERGRAD]);
    LsState* s = static_cast<LsState*>(r->state);
    if (full) {
        freeLsState(s);
        s = newLsState(r->nb, r->na, r->d, static_cast<int>(r->params[P_FILTERGRAD]) + 1);
        r->state = s;
    }
    clearHistory(s->uHist, s->na + s->d + 1);
    clearHistory(s->residual, s->na + 1);
    s->yPrev = 0.0;
    s->e = 0.0;
    setScaledIdentity(s->P, r->params[P_ALPHA]);
    return 1;
}

void lsStepWork(MeschachGuard& g, void* p)
{
    StepContext* c = static_cast<StepContext*>(p);
    requireFiniteSample(g, c);
    LsState* s = static_cast<LsState*>(c->record->state);
    const double lambda = c->record->params[P_LAMBDA];
    const int na = s->na, nb = s->nb;

    m_copy(s->P, s->P_);
    v_copy(s->theta, s->theta_);
    v_copy(s->phi, s->phi_);
    pushHistory(s->uHist, na + s->d + 1, c->u);
    double* phi = s->phi->ve;
    for (int i = na - 1; i > 0; --i)
        phi[i] = phi[i - 1];
    phi[0] = -s->yPrev;
    for (int i = 0; i < nb; ++i)
        phi[na + i] = inputTerm(s->uHist, nb, na, s->d, i);
    if (s->L > 0) {
        // The filter takes the oldest L of the last na residuals; the full
        // filter (L = na + 1) reaches one residual further back.
        int first = na - s->L > 0 ? na - s->L : 0;
        for (int i = 0; i < s->L; ++i)
            phi[na + nb + i] = s->residual[first + i];
        for (int i = na; i > 0; --i)
            s->residual[i] = s->residual[i - 1];
    }
    s->yPrev = c->y;

    mv_mlt(s->P_, s->phi, s->hv1);
    double e = c->y - in_prod(s->phi, s->theta_);
    forgettingGainAndCovariance(s->phi, s->hv1, s->hv2, s->q, s->P_, s->hM1, s->P, lambda);
    if (s->L > 0)
        s->residual[0] = e;
    v_mltadd(s->theta_, s->q, e, s->theta);
    s->e = e;
    c->e = e;
    requireFiniteResult(g, c, s->theta, s->P);
}

double stepLs(EstimatorRecord* r, double u, double y)
{
    return runStep(r, u, y, lsStepWork);
}

const VEC* thetaLs(const EstimatorRecord* r)
{
    return static_cast<const LsState*>(r->state)->theta;
}

// ---------------------------------------------------------------------------
// Instrumental variables (method 2).

struct IvState {
    int nb, na, d, n;
    int dIv;         // list holds dIv + 1 parameter vectors
    double* uHist;   // na + d + 1
    double yPrev;
    double xPrev;    // previous output of the auxiliary model
    VEC** list;      // list[0] the current estimate, list[j] the one j steps ago
    VEC *phi, *phi_, *w, *w_, *thetah, *thetah_, *q, *hv1, *hv2;
    MAT *P, *P_, *hM1;
};

void ivMembers(IvState* s, MemberList& l)
{
    l.start(kStateMembers);
    int n = s->n;
    l.vec("p->phi", &s->phi, n);
    l.vec("p->phi_", &s->phi_, n);
    l.vec("p->w", &s->w, n);
    l.vec("p->w_", &s->w_, n);
    l.vec("p->thetah", &s->thetah, n);
    l.vec("p->thetah_", &s->thetah_, n);
    l.vec("p->q", &s->q, n);
    l.vec("p->hv1", &s->hv1, n);
    l.vec("p->hv2", &s->hv2, n);
    l.mat("p->P", &s->P, n, n);
    l.mat("p->P_", &s->P_, n, n);
    l.mat("p->hM1", &s->hM1, n, n);
}

void ivListMembers(IvState* s, MemberList& l)
{
    l.start(s->dIv + 1);
    for (int j = 0; j <= s->dIv; ++j)
        l.vec("p->theta", &s->list[j], s->n);
}

void newIvList(IvState* s, int dIv)
{
    s->dIv = dIv;
    s->list = static_cast<VEC**>(checkedCalloc(sizeof(VEC*) * static_cast<size_t>(dIv + 1)));
    allocateMembers(s, ivListMembers);
}

void freeIvList(IvState* s)
{
    freeMembers(s, ivListMembers);
    free(s->list);
    s->list = nullptr;
}

void* createIv(int nb, int na, int d)
{
    IvState* s = newState<IvState>(nb, na, d);
    s->n = na + nb;
    allocateMembers(s, ivMembers);
    newIvList(s, static_cast<int>(methodRows[2].params[P_DIV].defaultValue));
    return s;
}

void freeIv(EstimatorRecord* r)
{
    IvState* s = static_cast<IvState*>(r->state);
    if (s) {
        freeIvList(s);
        freeMembers(s, ivMembers);
        free(s->uHist);
        free(s);
    }
    r->state = nullptr;
}

struct ClearVectors {
    VEC** list;
    int count;
};

void clearVectorsWork(MeschachGuard&, void* p)
{
    ClearVectors* c = static_cast<ClearVectors*>(p);
    for (int j = 0; j < c->count; ++j)
        v_zero(c->list[j]);
}

int resetIv(EstimatorRecord* r, int full)
{
    if (!checkAllParameters(r))
        return 0;
    IvState* s = static_cast<IvState*>(r->state);
    r->params[P_DIV] = std::trunc(r->params[P_DIV]);
    clearHistory(s->uHist, s->na + s->d + 1);
    if (full) {
        freeIvList(s);
        newIvList(s, static_cast<int>(r->params[P_DIV]));
    }
    ClearVectors c = {s->list, s->dIv + 1};
    MeschachGuard g;
    g.run(clearVectorsWork, &c);
    setScaledIdentity(s->P, r->params[P_ALPHA]);
    return 1;
}

void ivStepWork(MeschachGuard& g, void* p)
{
    StepContext* c = static_cast<StepContext*>(p);
    requireFiniteSample(g, c);
    IvState* s = static_cast<IvState*>(c->record->state);
    const double lambda = c->record->params[P_LAMBDA];
    const double gamma = c->record->params[P_GAMMA];
    const int na = s->na, nb = s->nb;

    m_copy(s->P, s->P_);
    for (int j = s->dIv; j >= 1; --j)
        v_copy(s->list[j - 1], s->list[j]);
    v_copy(s->thetah, s->thetah_);
    v_copy(s->phi, s->phi_);
    v_copy(s->w, s->w_);

    sv_mlt(1.0 - gamma, s->thetah_, s->thetah);
    v_mltadd(s->thetah, s->list[s->dIv], gamma, s->thetah);

    pushHistory(s->uHist, na + s->d + 1, c->u);
    double* phi = s->phi->ve;
    double* w = s->w->ve;
    for (int i = na - 1; i > 0; --i) {
        phi[i] = phi[i - 1];
        w[i] = w[i - 1];
    }
    phi[0] = -s->yPrev;
    w[0] = -s->xPrev;
    for (int i = 0; i < nb; ++i) {
        phi[na + i] = inputTerm(s->uHist, nb, na, s->d, i);
        // The instrument's input part leaves the dead steps out.
        w[na + i] = s->uHist[na - nb + 1 + i];
    }
    s->yPrev = c->y;
    s->xPrev = in_prod(s->w, s->thetah);

    mv_mlt(s->P_, s->w, s->hv1);
    double e = c->y - in_prod(s->phi, s->list[1]);
    forgettingGainAndCovariance(s->phi, s->hv1, s->hv2, s->q, s->P_, s->hM1, s->P, lambda);
    v_mltadd(s->list[1], s->q, e, s->list[0]);
    c->e = e;
    requireFiniteResult(g, c, s->list[0], s->P);
    if (!std::isfinite(s->xPrev))
        g.fail();
}

double stepIv(EstimatorRecord* r, double u, double y)
{
    return runStep(r, u, y, ivStepWork);
}

const VEC* thetaIv(const EstimatorRecord* r)
{
    return static_cast<const IvState*>(r->state)->list[0];
}

// ---------------------------------------------------------------------------
// The triangular methods: least squares with QR (1), total least squares
// (4) and adjusted least squares (5). They keep an upper triangular factor
// R of the data rows x = (input part as in phi; -y(k-1) .. -y(k-na); -y(k)),
// N = nb + na + 1, and start from R = Alpha * I.

struct TriState {
    int method;
    int nb, na, d, N;
    double* uHist;  // na + d + 1
    double* yHist;  // na + 1
    double e;
    VEC *theta, *phi, *diag;
    MAT *R, *hM1, *hR;
    // method 1
    VEC *r, *t;
    MAT *RA, *RA_1;
    // method 4
    VEC* sv;
    MAT *R_, *V;
    // method 5
    VEC *thetab, *xa, *hv1, *svAlpha;
    MAT *RALPHA, *WALPHA, *RBETA, *RBETA_1, *VALPHA;
};

void triMembers(TriState* s, MemberList& l)
{
    l.start(kStateMembers);
    const int N = s->N, na = s->na, nb = s->nb;
    l.vec("p->theta", &s->theta, na + nb);
    l.vec("p->phi", &s->phi, na + nb);
    l.vec("p->diag", &s->diag, N);
    l.mat("p->R", &s->R, N, N);
    l.mat("p->hM1", &s->hM1, N + 1, N);
    l.mat("p->hR", &s->hR, N + 1, N);
    switch (s->method) {
    case 1:
        l.vec("p->r", &s->r, N - 1);
        l.vec("p->t", &s->t, N - 1);
        l.mat("p->RA", &s->RA, N - 1, N - 1);
        l.mat("p->RA_1", &s->RA_1, N - 1, N - 1);
        break;
    case 4:
        l.vec("p->diag", &s->sv, N);
        l.mat("p->R_", &s->R_, N, N);
        l.mat("p->V", &s->V, N, N);
        break;
    case 5:
        l.vec("p->thetab", &s->thetab, na + 1);
        l.vec("p->xa", &s->xa, nb);
        l.vec("p->hv1", &s->hv1, nb);
        l.vec("p->diag", &s->svAlpha, na + 1);
        l.mat("p->RALPHA", &s->RALPHA, na + 1, na + 1);
        l.mat("p->WALPHA", &s->WALPHA, nb, na + 1);
        l.mat("p->RBETA", &s->RBETA, nb, nb);
        l.mat("p->RBETA_1", &s->RBETA_1, nb, nb);
        l.mat("p->VALPHA", &s->VALPHA, na + 1, na + 1);
        break;
    }
}

void* createTri(int method, int nb, int na, int d)
{
    TriState* s = newState<TriState>(nb, na, d);
    s->method = method;
    s->N = nb + na + 1;
    s->yHist = newHistory(na + 1);
    allocateMembers(s, triMembers);
    return s;
}

void* createQr(int nb, int na, int d) { return createTri(1, nb, na, d); }
void* createTls(int nb, int na, int d) { return createTri(4, nb, na, d); }
void* createAls(int nb, int na, int d) { return createTri(5, nb, na, d); }

void freeTri(EstimatorRecord* r)
{
    TriState* s = static_cast<TriState*>(r->state);
    if (s) {
        freeMembers(s, triMembers);
        free(s->uHist);
        free(s->yHist);
        free(s);
    }
    r->state = nullptr;
}

int resetTri(EstimatorRecord* r, int)
{
    if (!checkAllParameters(r))
        return 0;
    TriState* s = static_cast<TriState*>(r->state);
    clearHistory(s->uHist, s->na + s->d + 1);
    clearHistory(s->yHist, s->na + 1);
    setScaledIdentity(s->R, r->params[P_ALPHA]);
    return 1;
}

// Steps shared by the three methods: input history, Lambda * R stacked over
// the data row, phi, output history, and the new R from the QR
// factorisation.
void triUpdateFactor(MeschachGuard& g, StepContext* c, TriState* s)
{
    requireFiniteSample(g, c);
    const double lambda = c->record->params[P_LAMBDA];
    const int N = s->N, na = s->na, nb = s->nb;

    pushHistory(s->uHist, na + s->d + 1, c->u);
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j)
            s->hM1->me[i][j] = lambda * s->R->me[i][j];
    double* x = s->hM1->me[N];
    for (int i = 0; i < nb; ++i)
        x[i] = inputTerm(s->uHist, nb, na, s->d, i);
    for (int i = 0; i < na; ++i)
        x[nb + i] = -s->yHist[i];
    x[nb + na] = -c->y;

    for (int i = 0; i < na; ++i)
        s->phi->ve[i] = -s->yHist[i];
    for (int i = 0; i < nb; ++i)
        s->phi->ve[na + i] = x[i];
    pushHistory(s->yHist, na + 1, c->y);

    QRfactor(s->hM1, s->diag);
    makeR(s->hM1, s->hR);
    m_move(s->hR, 0, 0, N, N, s->R, 0, 0);
}

void finishTriStep(MeschachGuard& g, StepContext* c, TriState* s)
{
    s->e = c->y - in_prod(s->phi, s->theta);
    c->e = s->e;
    requireFiniteResult(g, c, s->theta, s->R);
}

void qrStepWork(MeschachGuard& g, void* p)
{
    StepContext* c = static_cast<StepContext*>(p);
    TriState* s = static_cast<TriState*>(c->record->state);
    const int N = s->N, na = s->na, nb = s->nb;
    triUpdateFactor(g, c, s);
    m_move(s->R, 0, 0, N - 1, N - 1, s->RA, 0, 0);
    for (int i = 0; i < N - 1; ++i)
        s->r->ve[i] = -s->R->me[i][N - 1];
    m_inverse(s->RA, s->RA_1);
    mv_mlt(s->RA_1, s->r, s->t);  // t := RA^-1 * (-r)
    for (int i = 0; i < na; ++i)
        s->theta->ve[i] = s->t->ve[nb + i];
    for (int i = 0; i < nb; ++i)
        s->theta->ve[na + i] = s->t->ve[i];
    finishTriStep(g, c, s);
}

void tlsStepWork(MeschachGuard& g, void* p)
{
    StepContext* c = static_cast<StepContext*>(p);
    TriState* s = static_cast<TriState*>(c->record->state);
    const int N = s->N, na = s->na, nb = s->nb;
    triUpdateFactor(g, c, s);
    m_copy(s->R, s->R_);
    if (!allFinite(s->R_))
        g.fail();
    svd(s->R_, MNULL, s->V, s->sv);
    // The right singular vector of the smallest singular value.
    const double* v = s->V->me[N - 1];
    if (v[N - 1] != 0.0) {
        for (int i = 0; i < na; ++i)
            s->theta->ve[i] = v[nb + i] / v[N - 1];
        for (int i = 0; i < nb; ++i)
            s->theta->ve[na + i] = v[i] / v[N - 1];
    }
    finishTriStep(g, c, s);
}

void alsStepWork(MeschachGuard& g, void* p)
{
    StepContext* c = static_cast<StepContext*>(p);
    TriState* s = static_cast<TriState*>(c->record->state);
    const int N = s->N, na = s->na, nb = s->nb;
    triUpdateFactor(g, c, s);
    m_move(s->R, 0, 0, nb, nb, s->RBETA, 0, 0);
    m_move(s->R, 0, nb, nb, N - nb, s->WALPHA, 0, 0);
    m_move(s->R, nb, nb, N - nb, N - nb, s->RALPHA, 0, 0);
    if (!allFinite(s->RALPHA))
        g.fail();
    svd(s->RALPHA, MNULL, s->VALPHA, s->svAlpha);
    const double* v = s->VALPHA->me[na];
    if (v[na] != 0.0)
        for (int i = 0; i <= na; ++i)
            s->thetab->ve[i] = v[i] / v[na];
    mv_mlt(s->WALPHA, s->thetab, s->xa);
    m_inverse(s->RBETA, s->RBETA_1);
    mv_mlt(s->RBETA_1, s->xa, s->hv1);
    for (int i = 0; i < na; ++i)
        s->theta->ve[i] = s->thetab->ve[i];
    for (int i = 0; i < nb; ++i)
        s->theta->ve[na + i] = -s->hv1->ve[i];
    finishTriStep(g, c, s);
}

double stepQr(EstimatorRecord* r, double u, double y) { return runStep(r, u, y, qrStepWork); }
double stepTls(EstimatorRecord* r, double u, double y) { return runStep(r, u, y, tlsStepWork); }
double stepAls(EstimatorRecord* r, double u, double y) { return runStep(r, u, y, alsStepWork); }

const VEC* thetaTri(const EstimatorRecord* r)
{
    return static_cast<const TriState*>(r->state)->theta;
}

} // namespace

const IdentMethod identMethods[kIdentMethodCount] = {
    {kStrIdentMethodLeastSquares, checkParameter<0>, createLs, resetLs, stepLs, thetaLs, freeLs, parameterInfo<0>},
    {kStrIdentMethodLeastSquaresQr, checkParameter<1>, createQr, resetTri, stepQr, thetaTri, freeTri, parameterInfo<1>},
    {kStrIdentMethodInstrumental, checkParameter<2>, createIv, resetIv, stepIv, thetaIv, freeIv, parameterInfo<2>},
    {kStrIdentMethodExtended, checkParameter<3>, createEls, resetEls, stepLs, thetaLs, freeLs, parameterInfo<3>},
    {kStrIdentMethodTotal, checkParameter<4>, createTls, resetTri, stepTls, thetaTri, freeTri, parameterInfo<4>},
    {kStrIdentMethodAdjusted, checkParameter<5>, createAls, resetTri, stepAls, thetaTri, freeTri, parameterInfo<5>},
};

double defaultParameter(int method, int index, int na)
{
    KYT_ASSERT(method >= 0 && method < kIdentMethodCount);
    KYT_ASSERT(index >= 0 && index < methodRows[method].count);
    const ParameterRow& p = methodRows[method].params[index];
    double upper = upperLimit(p, na);
    return p.defaultValue < upper ? p.defaultValue : upper;
}

void openEstimator(EstimatorRecord* record, int method, int nb, int na, int d)
{
    KYT_ASSERT(method >= 0 && method < kIdentMethodCount);
    KYT_ASSERT(na >= 1 && na <= kMaxIdentOrder && nb >= 1 && nb <= na + 1);
    KYT_ASSERT(d >= 0 && d <= kMaxDeadSteps);
    const IdentMethod& m = identMethods[method];
    record->method = method;
    record->nb = nb;
    record->na = na;
    record->d = d;
    int count = static_cast<int>(m.paramInfo(-1));
    record->params = static_cast<double*>(CheckedAlloc(sizeof(double) * static_cast<size_t>(count)));
    for (int i = 0; i < count; ++i)
        record->params[i] = defaultParameter(method, i, na);
    record->state = m.create(nb, na, d);
    m.reset(record, 1);
}

void closeEstimator(EstimatorRecord* record)
{
    if (record->state)
        identMethods[record->method].free(record);
    free(record->params);
    record->params = nullptr;
    record->state = nullptr;
}
