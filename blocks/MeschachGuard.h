// Runs Meschach work so that a Meschach error comes back as a failure
// instead of ending the process.
//
// Meschach reports an error by calling exit() unless its error mode says
// "jump"; then it longjmps to the global buffer `restart`. The guard sets the
// silent jump mode around one piece of work, restores the previous mode and
// buffer afterwards (guards nest), and frees every Meschach object that the
// work allocated through it when the work fails. Meschach also ends the
// process after its hundredth error; the guard switches that count off while
// the work runs.
//
// A longjmp skips destructors. So a work function is written in plain C
// style: no C++ object with a destructor may live in it or in anything it
// calls while a Meschach call runs, and no second guard may be created
// inside it. The guard itself lives in the caller, above the jump target.
//
// Usage:
//     struct Ctx { const MAT* in; MAT* out; };
//     static void work(MeschachGuard& g, void* p) {
//         Ctx* c = static_cast<Ctx*>(p);
//         MAT* t = g.getMat(2, 2);          // freed with the guard
//         c->out = g.getMat(2, 2);
//         m_inverse(const_cast<MAT*>(c->in), t);
//         m_copy(t, c->out);
//     }
//     MeschachGuard g;
//     if (g.run(work, &ctx)) result = g.keep(ctx.out);
#ifndef KYT_BLOCKS_MESCHACHGUARD_H
#define KYT_BLOCKS_MESCHACHGUARD_H

#include "Meschach.h"

class MeschachGuard {
public:
    typedef void (*Work)(MeschachGuard& guard, void* context);

    MeschachGuard();
    // Frees every object still registered.
    ~MeschachGuard();

    // Runs work(*this, context) in the silent jump mode. True when the work
    // ran to its end; false when Meschach raised an error or the work called
    // fail(): then every registered object has been freed. Either way the
    // previous error mode, error count setting and jump buffer are back.
    bool run(Work work, void* context);

    // Zero-filled Meschach objects, registered with the guard: they are freed
    // when the work fails or the guard ends, unless kept. Allocation failure
    // is a Meschach error (the work fails).
    MAT* getMat(int rows, int cols);
    VEC* getVec(int dim);
    ZMAT* getZMat(int rows, int cols);
    ZVEC* getZVec(int dim);

    // Registers an object that a Meschach call allocated itself.
    MAT* own(MAT* m);
    VEC* own(VEC* v);
    ZMAT* own(ZMAT* m);

    // Takes an object out of the guard's care; the caller frees it later
    // (with freeMeschach below). A null pointer is returned as it is.
    MAT* keep(MAT* m);
    VEC* keep(VEC* v);
    ZMAT* keep(ZMAT* m);
    ZVEC* keep(ZVEC* v);
    // Takes all registered objects out of the guard's care.
    void keepAll();

    // Ends the running work as failed, as a Meschach error would: for the
    // checks the work makes itself (a value that is not finite, a limit).
    [[noreturn]] void fail();

    // Number of objects in the guard's care (for tests).
    int registeredCount() const { return count; }

private:
    MeschachGuard(const MeschachGuard&) = delete;
    MeschachGuard& operator=(const MeschachGuard&) = delete;

    enum Kind { KIND_MAT, KIND_VEC, KIND_ZMAT, KIND_ZVEC };
    struct Entry {
        void* object;
        int kind;
    };

    bool runInJumpMode(Work work, void* context);
    void add(void* object, int kind);
    void remove(void* object);
    static void freeRegistered(MeschachGuard& guard, void* context);

    Entry* entries;
    int count;
    int capacity;
    bool running;
    // The state of the run in progress, kept here rather than in locals so
    // that it is intact after the longjmp.
    int oldFlag;
    int oldCount;
    jmp_buf oldRestart;
};

// Frees Meschach objects outside any work, under a guard of its own. Null
// pointers are ignored.
void freeMeschach(MAT* m);
void freeMeschach(VEC* v);
void freeMeschach(ZMAT* m);

// True when every element is a finite number (Schur and SVD never stop on
// NaN or infinity, so their input is checked first).
bool allFinite(const MAT* m);
bool allFinite(const VEC* v);

#endif
