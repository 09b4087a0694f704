// The option word shared by the compiler, the PI-code loader and the host
// services of the run-time libraries. Header only, so that the engine can
// read it without linking the compiler.
#ifndef KYT_COMPILER_COMPILEROPTIONS_H
#define KYT_COMPILER_COMPILEROPTIONS_H

#include <cstdint>

enum CompilerOption : uint32_t {
    OPTION_REAL_TIME = 1,        // tested by the PI-code header writer
    OPTION_COMPILE_PHASE = 256   // the libraries are called for a check
};

inline uint32_t compilerOptionWord = 0;

inline void clearOptions() { compilerOptionWord = 0; }
inline void setOption(uint32_t bits) { compilerOptionWord |= bits; }
inline void clearOption(uint32_t bits) { compilerOptionWord &= ~bits; }
inline int testOption(uint32_t bits) { return (compilerOptionWord & bits) ? 1 : 0; }

#endif
