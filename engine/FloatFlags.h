// The floating-point exception flags that a run watches: division by zero,
// invalid operation and overflow. The exceptions stay masked: a run notes
// the flags instead of trapping, since a signal handler that returns re-runs
// the faulting instruction.
//
// The run tests them about once per step, so the test must cost next to
// nothing. On x86-64 the C library's functions load and store the x87
// environment to clear or set a flag (some 80 ns a call); doubles are
// computed in SSE registers, so here the SSE status register is read and
// written directly, and the x87 status word is only read (one instruction)
// so that a flag raised by x87 code (long double in a library) is not lost;
// changing it is left to the C library on that rare road.
#ifndef KYT_ENGINE_FLOATFLAGS_H
#define KYT_ENGINE_FLOATFLAGS_H

#include <cfenv>

#if defined(__x86_64__) && defined(__GNUC__) && defined(__GLIBC__)
#define KYT_FLOAT_FLAGS_DIRECT 1
#include <xmmintrin.h>
#endif

const int kWatchedExceptions = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

#ifdef KYT_FLOAT_FLAGS_DIRECT

// The flag bits stand at the same places in MXCSR, in the x87 status word
// and in the FE_ constants.
inline unsigned x87StatusWord()
{
    unsigned short word;
    __asm__ __volatile__("fnstsw %0" : "=a"(word) : : "memory");
    return word;
}

// The watched flags raised since they were last cleared (0: none).
inline int raisedWatchedExceptions()
{
    return static_cast<int>((_mm_getcsr() | x87StatusWord()) & kWatchedExceptions);
}

// Clears the watched flags; writes the status only where one is set.
inline void clearWatchedExceptions()
{
    const unsigned csr = _mm_getcsr();
    if (csr & kWatchedExceptions)
        _mm_setcsr(csr & ~static_cast<unsigned>(kWatchedExceptions));
    if (x87StatusWord() & kWatchedExceptions)
        feclearexcept(kWatchedExceptions);
}

#else

inline int raisedWatchedExceptions()
{
    return fetestexcept(kWatchedExceptions);
}

inline void clearWatchedExceptions()
{
    if (fetestexcept(kWatchedExceptions))
        feclearexcept(kWatchedExceptions);
}

#endif

#endif
