#include "MeschachGuard.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct InverseCase {
    MAT* in;
    MAT* out;
    int reachedEnd;
};

// Inverts c->in into a matrix from the guard; a singular matrix makes
// Meschach raise an error inside m_inverse.
void invertWork(MeschachGuard& g, void* p)
{
    InverseCase* c = static_cast<InverseCase*>(p);
    MAT* scratch = g.getMat(3, 3);  // left to the guard
    (void)scratch;
    c->out = g.getMat(static_cast<int>(c->in->m), static_cast<int>(c->in->n));
    m_inverse(c->in, c->out);
    c->reachedEnd = 1;
}

struct Matrix2 {
    MAT* m;
};

void makeMatrixWork(MeschachGuard& g, void* p)
{
    Matrix2* c = static_cast<Matrix2*>(p);
    c->m = g.getMat(2, 2);
}

MAT* newMatrix(double a, double b, double c, double d)
{
    Matrix2 ctx = {nullptr};
    MeschachGuard g;
    EXPECT_TRUE(g.run(makeMatrixWork, &ctx));
    MAT* m = g.keep(ctx.m);
    m->me[0][0] = a;
    m->me[0][1] = b;
    m->me[1][0] = c;
    m->me[1][1] = d;
    return m;
}

TEST(MeschachGuardTest, WorkThatSucceedsKeepsWhatTheCallerTakes)
{
    MAT* a = newMatrix(2, 0, 0, 4);
    InverseCase c = {a, nullptr, 0};
    MeschachGuard g;
    ASSERT_TRUE(g.run(invertWork, &c));
    EXPECT_EQ(1, c.reachedEnd);
    EXPECT_EQ(2, g.registeredCount());
    MAT* inv = g.keep(c.out);
    EXPECT_EQ(1, g.registeredCount());
    EXPECT_DOUBLE_EQ(0.5, inv->me[0][0]);
    EXPECT_DOUBLE_EQ(0.25, inv->me[1][1]);
    freeMeschach(inv);
    freeMeschach(a);
}

TEST(MeschachGuardTest, MeschachErrorComesBackAsFailureAndFreesTheWorksObjects)
{
    MAT* singular = newMatrix(1, 2, 2, 4);
    InverseCase c = {singular, nullptr, 0};
    MeschachGuard g;
    EXPECT_FALSE(g.run(invertWork, &c));
    EXPECT_EQ(0, c.reachedEnd);
    EXPECT_EQ(0, g.registeredCount());
    freeMeschach(singular);
}

TEST(MeschachGuardTest, ErrorModeAndJumpBufferAreRestoredAfterBothOutcomes)
{
    MAT* singular = newMatrix(1, 2, 2, 4);
    MAT* regular = newMatrix(1, 0, 0, 1);
    int flag = set_err_flag(EF_ABORT);
    jmp_buf before;
    memcpy(before, restart, sizeof(jmp_buf));
    for (MAT* m : {singular, regular}) {
        InverseCase c = {m, nullptr, 0};
        MeschachGuard g;
        g.run(invertWork, &c);
        EXPECT_EQ(EF_ABORT, set_err_flag(EF_ABORT));
        EXPECT_EQ(0, memcmp(before, restart, sizeof(jmp_buf)));
    }
    set_err_flag(flag);
    freeMeschach(singular);
    freeMeschach(regular);
}

// Meschach ends the process at its hundredth error unless counting is off;
// the guard keeps the count off while its work runs.
TEST(MeschachGuardTest, ManyErrorsNeverEndTheProcess)
{
    MAT* singular = newMatrix(0, 0, 0, 0);
    int failures = 0;
    for (int i = 0; i < 150; ++i) {
        InverseCase c = {singular, nullptr, 0};
        MeschachGuard g;
        if (!g.run(invertWork, &c))
            ++failures;
    }
    EXPECT_EQ(150, failures);
    freeMeschach(singular);
}

struct FailCase {
    VEC* v;
    int afterFail;
};

void failWork(MeschachGuard& g, void* p)
{
    FailCase* c = static_cast<FailCase*>(p);
    c->v = g.getVec(4);
    g.fail();
    c->afterFail = 1;
}

TEST(MeschachGuardTest, TheWorksOwnFailureEndsItLikeAMeschachError)
{
    FailCase c = {nullptr, 0};
    MeschachGuard g;
    EXPECT_FALSE(g.run(failWork, &c));
    EXPECT_EQ(0, c.afterFail);
    EXPECT_EQ(0, g.registeredCount());
}

struct Nested {
    MeschachGuard* inner;
    int innerResult;
    MAT* singular;
};

// A guard inside another guard's caller (not inside its work): the inner
// failure must come back to the inner run, and the outer stays armed.
void outerWork(MeschachGuard& g, void* p)
{
    Nested* n = static_cast<Nested*>(p);
    InverseCase c = {n->singular, nullptr, 0};
    n->innerResult = n->inner->run(invertWork, &c) ? 1 : 0;
    g.fail();
}

TEST(MeschachGuardTest, GuardsNest)
{
    MAT* singular = newMatrix(1, 1, 1, 1);
    MeschachGuard inner;
    Nested n = {&inner, -1, singular};
    MeschachGuard outer;
    EXPECT_FALSE(outer.run(outerWork, &n));
    EXPECT_EQ(0, n.innerResult);
    freeMeschach(singular);
}

TEST(MeschachGuardTest, FiniteChecks)
{
    MAT* m = newMatrix(1, 2, 3, 4);
    EXPECT_TRUE(allFinite(m));
    m->me[1][0] = NAN;
    EXPECT_FALSE(allFinite(m));
    m->me[1][0] = INFINITY;
    EXPECT_FALSE(allFinite(m));
    EXPECT_FALSE(allFinite(static_cast<MAT*>(nullptr)));
    freeMeschach(m);
}

} // namespace
