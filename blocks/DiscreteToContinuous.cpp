#include "DiscreteToContinuous.h"

#include "MeschachGuard.h"

#include <cmath>
#include <cstdint>

namespace {

// Everything below runs inside one guarded work: plain C style, every
// Meschach object from the guard, failure by guard.fail().

// A Schur diagonal this small is a pole at z = 0, which has no logarithm.
const double kZeroPole = 1e-12;
// Elements of the triangular factor below this count as zero in a rank.
const double kRankZero = 1e-12;
// The logarithm accepts a residual up to this multiple of its tolerance.
const double kResidualFactor = 1e5;
// Perturbations tried when close eigenvalues spoil the logarithm: eps runs
// from tol to 1e5 * tol, then the conversion gives up.
const int kMaxPerturbations = 6;
// The first-order hold scales the numerator for the rank decisions.
const double kFohScale = 1000.0;

struct Conversion {
    int hold;
    const double* theta;
    int nb;
    int na;
    double tsamp;
    uint64_t random;  // state of the generator of the perturbations
    VEC* result;
};

// Uniform numbers in [0, 1) for the perturbation (xorshift64*): the same
// G(z) always converts to the same G(s).
double nextUniform(Conversion* c)
{
    uint64_t x = c->random;
    x ^= x >> 12;
    x ^= x << 25;
    x ^= x >> 27;
    c->random = x;
    return static_cast<double>((x * 2685821657736338717ULL) >> 11) * (1.0 / 9007199254740992.0);
}

struct Realisation {
    MAT* A;
    VEC* b;
    VEC* c;
    double d;
};

// Controllable canonical form of a polynomial pair: w holds the N
// denominator coefficients below the leading 1, then K numerator ones.
Realisation realise(MeschachGuard& g, const double* w, int N, int K)
{
    Realisation r;
    r.A = g.getMat(N, N);
    r.b = g.getVec(N);
    r.c = g.getVec(N);
    VEC* tmp = g.getVec(N);
    if (N < K) {
        r.d = w[N];
        for (int k = 0; k < N; ++k)
            tmp->ve[k] = w[N + 1 + k];
    } else {
        r.d = 0.0;
        for (int k = 0; k < K; ++k)
            tmp->ve[N - K + k] = w[N + k];
    }
    for (int k = 1; k <= N; ++k) {
        r.A->me[N - 1][N - k] = -w[k - 1];
        r.c->ve[N - k] = tmp->ve[k - 1] - w[k - 1] * r.d;
    }
    for (int i = 0; i < N - 1; ++i)
        r.A->me[i][i + 1] = 1.0;
    r.b->ve[N - 1] = 1.0;
    return r;
}

// One logarithm by the complex Schur form and Parlett's recurrence. Sets
// *close when two eigenvalues lie closer than the tolerance.
ZMAT* logarithmOnce(MeschachGuard& g, const MAT* M, int* close, double* tolOut)
{
    const int n = static_cast<int>(M->m);
    // zschur never returns on a matrix that holds NaN or infinity.
    if (!allFinite(M))
        g.fail();
    ZMAT* T = g.getZMat(n, n);
    ZMAT* Q = g.getZMat(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            T->me[i][j] = zmake(M->me[i][j], 0.0);
    zschur(T, Q);

    ZMAT* R = g.getZMat(n, n);
    for (int i = 0; i < n; ++i) {
        // A pole at z = 0 has no continuous counterpart: fail rather than
        // pass it on as a huge negative logarithm.
        if (zabs(T->me[i][i]) <= kZeroPole)
            g.fail();
        R->me[i][i] = zlog(T->me[i][i]);
    }
    double tol = zm_norm1(T) * 1e-12;
    if (std::isnan(tol))
        tol = 1e-12;
    *tolOut = tol;
    *close = 0;
    for (int p = 1; p < n; ++p)
        for (int i = 0; i + p < n; ++i) {
            const int j = i + p;
            complex sum = zmlt(T->me[i][j], zsub(R->me[j][j], R->me[i][i]));
            for (int k = i + 1; k < j; ++k)
                sum = zadd(sum, zsub(zmlt(T->me[i][k], R->me[k][j]), zmlt(R->me[i][k], T->me[k][j])));
            complex den = zsub(T->me[j][j], T->me[i][i]);
            if (zabs(den) <= tol) {
                den = zmake(tol, 0.0);
                *close = 1;
            }
            R->me[i][j] = zdiv(sum, den);
        }

    ZMAT* QR = g.getZMat(n, n);
    ZMAT* QH = g.getZMat(n, n);
    ZMAT* L = g.getZMat(n, n);
    zm_mlt(Q, R, QR);
    zm_adjoint(Q, QH);
    zm_mlt(QR, QH, L);
    return L;
}

MAT* realPart(MeschachGuard& g, const ZMAT* Z)
{
    MAT* m = g.getMat(static_cast<int>(Z->m), static_cast<int>(Z->n));
    for (unsigned int i = 0; i < Z->m; ++i)
        for (unsigned int j = 0; j < Z->n; ++j)
            m->me[i][j] = Z->me[i][j].re;
    return m;
}

// The matrix logarithm of M. When close eigenvalues make the recurrence
// doubtful and exp(log M) misses M, M is perturbed a little and the
// logarithm taken again, at most kMaxPerturbations times.
ZMAT* logarithm(MeschachGuard& g, Conversion* conv, const MAT* M)
{
    const int n = static_cast<int>(M->m);
    MAT* current = g.getMat(n, n);
    m_copy(const_cast<MAT*>(M), current);
    MAT* check = g.getMat(n, n);
    double eps = 0.0;
    for (int perturbations = 0;; ++perturbations) {
        int close = 0;
        double tol = 0.0;
        ZMAT* L = logarithmOnce(g, current, &close, &tol);
        if (!close)
            return L;
        MAT* Lr = realPart(g, L);
        if (!allFinite(Lr))
            g.fail();
        m_exp(Lr, tol, check);
        m_sub(check, current, check);
        if (m_norm_inf(check) <= tol * kResidualFactor)
            return L;
        if (perturbations == kMaxPerturbations)
            g.fail();
        eps = eps == 0.0 ? tol : eps * 10.0;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                current->me[i][j] += eps * nextUniform(conv);
    }
}

// Rank of the first cols columns of X: rows of the QR triangle that hold an
// element of magnitude >= 1e-12.
int rankOfColumns(MeschachGuard& g, const MAT* X, int cols)
{
    const int rows = static_cast<int>(X->m);
    if (cols == 0)
        return 0;
    MAT* A = g.getMat(rows, cols);
    m_move(const_cast<MAT*>(X), 0, 0, rows, cols, A, 0, 0);
    VEC* diag = g.getVec(rows < cols ? rows : cols);
    QRfactor(A, diag);
    MAT* R = g.getMat(rows, cols);
    makeR(A, R);
    int rank = 0;
    for (int i = 0; i < rows; ++i) {
        int nonZero = 0;
        for (int j = 0; j < cols; ++j) {
            if (std::fabs(R->me[i][j]) < kRankZero)
                R->me[i][j] = 0.0;
            else
                nonZero = 1;
        }
        rank += nonZero;
    }
    return rank;
}

int rankOf(MeschachGuard& g, const MAT* X)
{
    return rankOfColumns(g, X, static_cast<int>(X->n));
}

// [v, B v, ..., B^(N-1) v] with B = A, or A' when transposed.
MAT* krylov(MeschachGuard& g, const MAT* A, const VEC* v, int transposed)
{
    const int n = static_cast<int>(A->m);
    MAT* B = g.getMat(n, n);
    if (transposed)
        m_transp(const_cast<MAT*>(A), B);
    else
        m_copy(const_cast<MAT*>(A), B);
    MAT* K = g.getMat(n, n);
    VEC* col = g.getVec(n);
    VEC* next = g.getVec(n);
    v_copy(const_cast<VEC*>(v), col);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i)
            K->me[i][j] = col->ve[i];
        mv_mlt(B, col, next);
        v_copy(next, col);
    }
    return K;
}

// A full-rank basis whose first r columns span the columns of X: each
// column of X that raises the rank, in order, then the unit vectors that do.
MAT* basis(MeschachGuard& g, const MAT* X, int r)
{
    const int n = static_cast<int>(X->m);
    MAT* S = g.getMat(n, n);
    int cols = 0;
    for (int j = 0; j < n && cols < r; ++j) {
        for (int i = 0; i < n; ++i)
            S->me[i][cols] = X->me[i][j];
        if (rankOfColumns(g, S, cols + 1) == cols + 1)
            ++cols;
        else
            for (int i = 0; i < n; ++i)
                S->me[i][cols] = 0.0;
    }
    for (int k = 0; k < n && cols < n; ++k) {
        S->me[k][cols] = 1.0;
        if (rankOfColumns(g, S, cols + 1) == cols + 1)
            ++cols;
        else
            S->me[k][cols] = 0.0;
    }
    if (cols < n)
        g.fail();
    return S;
}

MAT* product(MeschachGuard& g, const MAT* A, const MAT* B)
{
    MAT* P = g.getMat(static_cast<int>(A->m), static_cast<int>(B->n));
    m_mlt(const_cast<MAT*>(A), const_cast<MAT*>(B), P);
    return P;
}

VEC* apply(MeschachGuard& g, const MAT* A, const VEC* x)
{
    VEC* y = g.getVec(static_cast<int>(A->m));
    mv_mlt(const_cast<MAT*>(A), const_cast<VEC*>(x), y);
    return y;
}

MAT* inverse(MeschachGuard& g, const MAT* A)
{
    MAT* I = g.getMat(static_cast<int>(A->m), static_cast<int>(A->n));
    m_inverse(const_cast<MAT*>(A), I);
    return I;
}

MAT* transpose(MeschachGuard& g, const MAT* A)
{
    MAT* T = g.getMat(static_cast<int>(A->n), static_cast<int>(A->m));
    m_transp(const_cast<MAT*>(A), T);
    return T;
}

// Keeps the block of the r states starting at first.
Realisation keepStates(MeschachGuard& g, const MAT* A, const VEC* b, const VEC* c, double d, int first,
                       int r)
{
    Realisation k;
    k.A = g.getMat(r, r);
    m_move(const_cast<MAT*>(A), first, first, r, r, k.A, 0, 0);
    k.b = g.getVec(r);
    k.c = g.getVec(r);
    for (int i = 0; i < r; ++i) {
        k.b->ve[i] = b->ve[first + i];
        k.c->ve[i] = c->ve[first + i];
    }
    k.d = d;
    return k;
}

// Minimal realisation of a continuous (A, b, c, d) and its transfer
// function in the output layout.
VEC* minimalTransferFunction(MeschachGuard& g, Realisation s)
{
    int n = static_cast<int>(s.A->m);

    // 1-2: the controllable part.
    MAT* Co = krylov(g, s.A, s.b, 0);
    int r = rankOf(g, Co);
    if (r == 0)
        g.fail();
    if (r < n) {
        MAT* S = basis(g, Co, r);
        MAT* Si = inverse(g, S);
        MAT* A = product(g, product(g, Si, s.A), S);
        VEC* b = apply(g, Si, s.b);
        VEC* c = apply(g, transpose(g, S), s.c);
        s = keepStates(g, A, b, c, s.d, 0, r);
        n = r;
    }

    // 3: its observable part.
    MAT* Ob = krylov(g, s.A, s.c, 1);
    r = rankOf(g, Ob);
    if (r == 0)
        g.fail();
    if (r < n) {
        MAT* B = basis(g, Ob, r);
        MAT* S = g.getMat(n, n);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                S->me[i][j] = B->me[i][n - 1 - j];
        MAT* St = transpose(g, S);
        MAT* Sti = inverse(g, St);
        MAT* Si = transpose(g, Sti);
        MAT* A = product(g, product(g, St, s.A), Sti);
        VEC* b = apply(g, St, s.b);
        VEC* c = apply(g, Si, s.c);
        s = keepStates(g, A, b, c, s.d, n - r, r);
        n = r;
    }

    // 5: controllable canonical form.
    MAT* Coi = inverse(g, krylov(g, s.A, s.b, 0));
    MAT* T = g.getMat(n, n);
    VEC* row = g.getVec(n);
    VEC* next = g.getVec(n);
    for (int j = 0; j < n; ++j)
        row->ve[j] = Coi->me[n - 1][j];
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            T->me[i][j] = row->ve[j];
        vm_mlt(s.A, row, next);  // next' = row' * A
        v_copy(next, row);
    }
    MAT* Ti = inverse(g, T);
    MAT* Ac = product(g, product(g, T, s.A), Ti);
    VEC* cc = apply(g, transpose(g, Ti), s.c);

    // 6: the polynomials. The last row of Ac holds the negated denominator
    // coefficients; they are negated once, here.
    VEC* out = g.getVec(2 * n + 1);
    for (int i = n; i >= 1; --i) {
        const double coef = -Ac->me[n - 1][i - 1];
        out->ve[n - i] = coef;
        out->ve[2 * n - i + 1] = coef * s.d + cc->ve[i - 1];
    }
    out->ve[n] = s.d;
    if (!allFinite(out))
        g.fail();
    return out;
}

// Realise, augment, take the logarithm, divide by Tsamp, reduce.
VEC* continuousFromDiscrete(MeschachGuard& g, Conversion* conv, const double* w, int N, int K)
{
    Realisation s = realise(g, w, N, K);
    MAT* M = g.getMat(N + 1, N + 1);
    m_move(s.A, 0, 0, N, N, M, 0, 0);
    for (int i = 0; i < N; ++i)
        M->me[i][N] = s.b->ve[i];
    M->me[N][N] = 1.0;
    MAT* Mc = realPart(g, logarithm(g, conv, M));
    sm_mlt(1.0 / conv->tsamp, Mc, Mc);
    Realisation c;
    c.A = g.getMat(N, N);
    m_move(Mc, 0, 0, N, N, c.A, 0, 0);
    c.b = g.getVec(N);
    for (int i = 0; i < N; ++i)
        c.b->ve[i] = Mc->me[i][N];
    c.c = s.c;
    c.d = s.d;
    return minimalTransferFunction(g, c);
}

void conversionWork(MeschachGuard& g, void* p)
{
    Conversion* c = static_cast<Conversion*>(p);
    const int na = c->na, nb = c->nb;
    for (int i = 0; i < na + nb; ++i)
        if (!std::isfinite(c->theta[i]))
            g.fail();

    if (c->hold == kZeroOrderHold) {
        c->result = continuousFromDiscrete(g, c, c->theta, na, nb);
        return;
    }

    // First-order hold: G(z)/(z - 1), numerator scaled, is the zero-order
    // hold equivalent of G(s)/(Tsamp s).
    const int N = na + 1;
    double* w = g.getVec(2 * N)->ve;
    const double* a = c->theta;
    w[0] = a[0] - 1.0;
    for (int k = 1; k < na; ++k)
        w[k] = a[k] - a[k - 1];
    w[na] = -a[na - 1];
    for (int i = 0; i < nb; ++i)
        w[2 * N - nb + i] = c->theta[na + i] * kFohScale;
    VEC* v = continuousFromDiscrete(g, c, w, N, N);

    // The extended system has order na + 1 with the pole s = 0 that the
    // division by s removes; when it reduced further, its order less one
    // takes the place of na.
    const int r = (static_cast<int>(v->dim) - 1) / 2;
    const int n = r - 1;
    if (n < 0)
        g.fail();
    VEC* out = g.getVec(2 * n + 1);
    for (int i = 0; i < n; ++i)
        out->ve[i] = v->ve[i];
    for (int i = 0; i <= n; ++i)
        out->ve[n + i] = v->ve[n + 2 + i] * c->tsamp / kFohScale;
    c->result = out;
}

} // namespace

bool convertToContinuous(int hold, const double* theta, int nb, int na, double tsamp,
                         std::vector<double>& result)
{
    result.clear();
    if ((hold != kZeroOrderHold && hold != kFirstOrderHold) || !theta || na < 1 || nb < 1 ||
        nb > na + 1 || !(tsamp > 0.0) || !std::isfinite(tsamp))
        return false;
    Conversion c = {hold, theta, nb, na, tsamp, 0x9E3779B97F4A7C15ULL, nullptr};
    MeschachGuard g;
    if (!g.run(conversionWork, &c))
        return false;
    result.assign(c.result->ve, c.result->ve + c.result->dim);
    return true;
}
