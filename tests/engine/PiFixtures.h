// The PI texts of the circuits A, B and D as the compiler's back end writes
// them: the golden files of the compiler's tests (the model texts beside
// them, kreisA.kyt, kreisB.kyt, kreisD.kyt).
//
// A: src (a step y = h*on; its procedure `step`, scheduled AT t0 in INIT,
//    sets the DISCRETE var on), sum (e = x - y), plant (a PT1,
//    x .= (K*u - x)/T; y = x; with T = 2*3), ctl (INIT schedules its
//    procedure `stop`, which QUITs, AT tend). The loop is closed: sum.x is
//    src.y, sum.y is plant.y, plant.u is sum.e. SAVE plant.y, dplant.x.
// B: a sampler whose procedure sets the DISCRETE var yk = u and schedules
//    itself AT NOW + Ts, and fin, which EXITs with "Ende" AT EXIT.
// D: a dead time tot: DELAY d = Td; d = u; y = d[NOW - Td]; with u = t.
#ifndef KYT_TESTS_ENGINE_PIFIXTURES_H
#define KYT_TESTS_ENGINE_PIFIXTURES_H

#include "FileBytes.h"

#include <string>

#ifndef KYT_PI_GOLDEN_DIR
#error "KYT_PI_GOLDEN_DIR names the directory of the golden PI texts"
#endif

namespace pitest {

inline std::string goldenPiText(const char* name)
{
    return readComparedFile(std::string(KYT_PI_GOLDEN_DIR) + "/" + name);
}

inline const std::string kFixtureA = goldenPiText("kreisA.pi");
inline const std::string kFixtureB = goldenPiText("kreisB.pi");
inline const std::string kFixtureD = goldenPiText("kreisD.pi");

} // namespace pitest

#endif
