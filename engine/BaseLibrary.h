// The BASE library: mathematical functions, random numbers, rounding and the
// delay-line initialisation that every model program can call. The registry
// attaches it with BaseModuleRegister (ModuleRegistry.h).
#ifndef KYT_ENGINE_BASELIBRARY_H
#define KYT_ENGINE_BASELIBRARY_H

#include <cstdint>

// Seams for tests. The calendar time in seconds that RANDOMIZE(0) seeds
// with (null: time()).
typedef int64_t (*BaseClock)();
void setBaseClock(BaseClock clock);
// The uniform numbers in (0, 1) that RNDGAUSS draws (null: the generator of
// RND).
typedef double (*BaseUniform)();
void setBaseGaussUniform(BaseUniform uniform);

// The uniform generator: a negative seed, or the first call ever, starts it
// anew; every call draws one number.
double baseRandom(int64_t seed);
// The table entry that the last draw used (0 to 96).
int baseLastRandomIndex();
// Back to the state of a program that never drew a number, without a kept
// normal value.
void resetBaseRandom();

#endif
