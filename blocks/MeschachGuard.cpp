#include "MeschachGuard.h"

#include "Assert.h"
#include "CheckedHeap.h"

#include <cmath>

MeschachGuard::MeschachGuard()
    : entries(nullptr), count(0), capacity(0), running(false), oldFlag(0), oldCount(0)
{
}

MeschachGuard::~MeschachGuard()
{
    // Freeing cannot raise a Meschach error, but it is a Meschach call all
    // the same and runs in the jump mode like every other one.
    if (count > 0)
        runInJumpMode(freeRegistered, nullptr);
    free(entries);
}

bool MeschachGuard::run(Work work, void* context)
{
    KYT_ASSERT(!running);
    if (runInJumpMode(work, context))
        return true;
    runInJumpMode(freeRegistered, nullptr);
    return false;
}

bool MeschachGuard::runInJumpMode(Work work, void* context)
{
    running = true;
    oldFlag = set_err_flag(EF_SILENT);
    oldCount = count_errs(0);
    memcpy(oldRestart, restart, sizeof(jmp_buf));
    // Nothing below may hold a C++ object across this point: a Meschach error
    // comes back here with a longjmp.
    if (setjmp(restart) != 0) {
        set_err_flag(oldFlag);
        count_errs(oldCount);
        memcpy(restart, oldRestart, sizeof(jmp_buf));
        running = false;
        return false;
    }
    work(*this, context);
    set_err_flag(oldFlag);
    count_errs(oldCount);
    memcpy(restart, oldRestart, sizeof(jmp_buf));
    running = false;
    return true;
}

void MeschachGuard::freeRegistered(MeschachGuard& guard, void*)
{
    // Each entry leaves the list before it is freed, so a jump out of a free
    // could never free it twice.
    while (guard.count > 0) {
        Entry e = guard.entries[--guard.count];
        switch (e.kind) {
        case KIND_MAT: m_free(static_cast<MAT*>(e.object)); break;
        case KIND_VEC: v_free(static_cast<VEC*>(e.object)); break;
        case KIND_ZMAT: zm_free(static_cast<ZMAT*>(e.object)); break;
        case KIND_ZVEC: zv_free(static_cast<ZVEC*>(e.object)); break;
        }
    }
}

void MeschachGuard::add(void* object, int kind)
{
    if (!object)
        return;
    if (count == capacity) {
        capacity = capacity ? 2 * capacity : 16;
        entries = static_cast<Entry*>(trrealloc(entries, sizeof(Entry) * static_cast<size_t>(capacity)));
    }
    entries[count].object = object;
    entries[count].kind = kind;
    ++count;
}

void MeschachGuard::remove(void* object)
{
    for (int i = count - 1; i >= 0; --i)
        if (entries[i].object == object) {
            entries[i] = entries[--count];
            return;
        }
}

MAT* MeschachGuard::getMat(int rows, int cols)
{
    KYT_ASSERT(running);
    MAT* m = m_get(rows, cols);
    add(m, KIND_MAT);
    return m;
}

VEC* MeschachGuard::getVec(int dim)
{
    KYT_ASSERT(running);
    VEC* v = v_get(dim);
    add(v, KIND_VEC);
    return v;
}

ZMAT* MeschachGuard::getZMat(int rows, int cols)
{
    KYT_ASSERT(running);
    ZMAT* m = zm_get(rows, cols);
    add(m, KIND_ZMAT);
    return m;
}

ZVEC* MeschachGuard::getZVec(int dim)
{
    KYT_ASSERT(running);
    ZVEC* v = zv_get(dim);
    add(v, KIND_ZVEC);
    return v;
}

MAT* MeschachGuard::own(MAT* m)
{
    add(m, KIND_MAT);
    return m;
}

VEC* MeschachGuard::own(VEC* v)
{
    add(v, KIND_VEC);
    return v;
}

ZMAT* MeschachGuard::own(ZMAT* m)
{
    add(m, KIND_ZMAT);
    return m;
}

MAT* MeschachGuard::keep(MAT* m)
{
    remove(m);
    return m;
}

VEC* MeschachGuard::keep(VEC* v)
{
    remove(v);
    return v;
}

ZMAT* MeschachGuard::keep(ZMAT* m)
{
    remove(m);
    return m;
}

ZVEC* MeschachGuard::keep(ZVEC* v)
{
    remove(v);
    return v;
}

void MeschachGuard::keepAll()
{
    count = 0;
}

void MeschachGuard::fail()
{
    KYT_ASSERT(running);
    // The work's own checks end it the way a Meschach error does.
    longjmp(restart, E_RANGE);
}

namespace {

struct FreeContext {
    MAT* m;
    VEC* v;
    ZMAT* z;
};

void freeWork(MeschachGuard&, void* p)
{
    FreeContext* c = static_cast<FreeContext*>(p);
    if (c->m)
        m_free(c->m);
    if (c->v)
        v_free(c->v);
    if (c->z)
        zm_free(c->z);
}

void freeUnderGuard(MAT* m, VEC* v, ZMAT* z)
{
    if (!m && !v && !z)
        return;
    FreeContext c = {m, v, z};
    MeschachGuard guard;
    guard.run(freeWork, &c);
}

} // namespace

void freeMeschach(MAT* m)
{
    freeUnderGuard(m, nullptr, nullptr);
}

void freeMeschach(VEC* v)
{
    freeUnderGuard(nullptr, v, nullptr);
}

void freeMeschach(ZMAT* m)
{
    freeUnderGuard(nullptr, nullptr, m);
}

bool allFinite(const MAT* m)
{
    if (!m)
        return false;
    for (unsigned int i = 0; i < m->m; ++i)
        for (unsigned int j = 0; j < m->n; ++j)
            if (!std::isfinite(m->me[i][j]))
                return false;
    return true;
}

bool allFinite(const VEC* v)
{
    if (!v)
        return false;
    for (unsigned int i = 0; i < v->dim; ++i)
        if (!std::isfinite(v->ve[i]))
            return false;
    return true;
}
