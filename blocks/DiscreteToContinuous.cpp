#include "DiscreteToContinuous.h"

#include "MeschachGuard.h"

#include <cmath>

namespace {

// Everything below runs inside one guarded work: plain C style, every
// Meschach object from the guard, failure by guard.fail().

// The logarithm is taken by inverse scaling and squaring: square roots
// until the matrix lies near the identity, then a Pade approximant of
// log(I + X). It needs no Schur form, so nothing in it iterates without a
// bound: a mended fault, Meschach's zschur never returned for many third and
// fourth order G(z). Close or repeated eigenvalues (a pole at or near z = 1
// meeting the augmentation's eigenvalue 1) need no special path either.

// Square roots taken at most before the logarithm gives up.
const int kMaxSquareRoots = 40;
// Iterations of one square root at most (Denman-Beavers, Newton's method:
// a pole of modulus down to about 1e-50 still converges).
const int kMaxRootIterations = 100;
// The Pade approximant is used once ||A - I||_1 is at most this.
const double kPadeRadius = 0.25;
// exp(log M) must meet M within this multiple of ||M|| max(1, ||log M||):
// rounding grows with the norm of the logarithm, which is large for the
// companion matrices of higher orders.
const double kResidualTolerance = 1e-9;
// Elements of the triangular factor below this count as zero in a rank.
const double kRankZero = 1e-12;
// The first-order hold scales the numerator for the rank decisions.
const double kFohScale = 1000.0;

struct Conversion {
    int hold;
    const double* theta;
    int nb;
    int na;
    double tsamp;
    VEC* result;
};

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

// ||A - I||_1.
double distanceFromIdentity(const MAT* A)
{
    const int n = static_cast<int>(A->m);
    double norm = 0.0;
    for (int j = 0; j < n; ++j) {
        double column = 0.0;
        for (int i = 0; i < n; ++i)
            column += std::fabs(A->me[i][j] - (i == j ? 1.0 : 0.0));
        if (!(column <= norm))
            norm = column;
    }
    return norm;
}

// The principal square root of A into A, by the product form of the
// Denman-Beavers iteration: M -> I, Y -> A^(1/2). A real matrix with an
// eigenvalue on the negative real axis has no real principal root; the
// iteration does not settle then, and the conversion fails.
void squareRoot(MeschachGuard& g, MAT* A)
{
    const int n = static_cast<int>(A->m);
    MAT* M = g.getMat(n, n);
    MAT* Y = g.getMat(n, n);
    MAT* Mi = g.getMat(n, n);
    MAT* H = g.getMat(n, n);
    MAT* next = g.getMat(n, n);
    m_copy(A, M);
    m_copy(A, Y);
    double last = distanceFromIdentity(M);
    for (int k = 0; k < kMaxRootIterations; ++k) {
        m_inverse(M, Mi);
        // Y := Y (I + M^-1) / 2
        m_copy(Mi, H);
        for (int i = 0; i < n; ++i)
            H->me[i][i] += 1.0;
        m_mlt(Y, H, next);
        sm_mlt(0.5, next, Y);
        // M := (I + (M + M^-1) / 2) / 2
        m_add(M, Mi, H);
        sm_mlt(0.25, H, M);
        for (int i = 0; i < n; ++i)
            M->me[i][i] += 0.5;
        if (!allFinite(M) || !allFinite(Y))
            g.fail();
        const double distance = distanceFromIdentity(M);
        // Converged, or settled at the rounding level (quadratic convergence
        // no longer halves the distance).
        if (distance <= 1e-15 * n || (distance <= 1e-9 && distance > 0.5 * last)) {
            m_copy(Y, A);
            return;
        }
        last = distance;
    }
    g.fail();
}

// Gauss-Legendre nodes and weights on [0, 1]: the quadrature of
// log(I + X) = integral over t in [0, 1] of X (I + t X)^-1 is the diagonal
// Pade approximant of degree 8; for ||X|| <= 0.25 it is exact to rounding.
const int kPadeNodes = 8;
const double padeNodes[kPadeNodes] = {
    0.019855071751231884, 0.10166676129318664, 0.23723379504183550, 0.40828267875217510,
    0.59171732124782490,  0.76276620495816450, 0.89833323870681336, 0.98014492824876812};
const double padeWeights[kPadeNodes] = {
    0.050614268145188129, 0.11119051722668724, 0.15685332293894364, 0.18134189168918100,
    0.18134189168918100,  0.15685332293894364, 0.11119051722668724, 0.050614268145188129};

// The principal logarithm of a real square matrix M, real itself; fails
// when M has an eigenvalue at 0 or on the negative real axis, or when the
// result does not reproduce M.
MAT* logarithm(MeschachGuard& g, const MAT* M)
{
    const int n = static_cast<int>(M->m);
    if (!allFinite(M))
        g.fail();
    MAT* A = g.getMat(n, n);
    m_copy(const_cast<MAT*>(M), A);
    int roots = 0;
    while (!(distanceFromIdentity(A) <= kPadeRadius)) {
        if (roots == kMaxSquareRoots)
            g.fail();
        squareRoot(g, A);
        ++roots;
    }

    MAT* X = A;
    for (int i = 0; i < n; ++i)
        X->me[i][i] -= 1.0;
    MAT* L = g.getMat(n, n);
    MAT* S = g.getMat(n, n);
    MAT* Si = g.getMat(n, n);
    MAT* term = g.getMat(n, n);
    for (int k = 0; k < kPadeNodes; ++k) {
        sm_mlt(padeNodes[k], X, S);
        for (int i = 0; i < n; ++i)
            S->me[i][i] += 1.0;
        m_inverse(S, Si);
        m_mlt(X, Si, term);
        ms_mltadd(L, term, padeWeights[k], L);
    }
    sm_mlt(std::ldexp(1.0, roots), L, L);
    if (!allFinite(L))
        g.fail();

    MAT* check = g.getMat(n, n);
    m_exp(L, 1e-15, check);
    m_sub(check, const_cast<MAT*>(M), check);
    const double scale = std::fmax(1.0, m_norm_inf(L));
    if (!(m_norm_inf(check) <= kResidualTolerance * scale * m_norm_inf(const_cast<MAT*>(M))))
        g.fail();
    return L;
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
VEC* continuousFromDiscrete(MeschachGuard& g, const Conversion* conv, const double* w, int N, int K)
{
    // The last denominator coefficient is the product of the poles (up to
    // the sign): a pole at z = 0 has no logarithm and no continuous
    // counterpart.
    if (w[N - 1] == 0.0)
        g.fail();
    Realisation s = realise(g, w, N, K);
    MAT* M = g.getMat(N + 1, N + 1);
    m_move(s.A, 0, 0, N, N, M, 0, 0);
    for (int i = 0; i < N; ++i)
        M->me[i][N] = s.b->ve[i];
    M->me[N][N] = 1.0;
    MAT* Mc = logarithm(g, M);
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
    Conversion c = {hold, theta, nb, na, tsamp, nullptr};
    MeschachGuard g;
    if (!g.run(conversionWork, &c))
        return false;
    result.assign(c.result->ve, c.result->ve + c.result->dim);
    return true;
}
