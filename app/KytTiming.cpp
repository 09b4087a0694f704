#include "KytTiming.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// Taken when the program is loaded, before its main routine.
const std::chrono::steady_clock::time_point programStart = std::chrono::steady_clock::now();

} // namespace

void timingEvent(const char* event)
{
    const char* file = getenv("KYT_TIMING");
    if (!file || !*file)
        return;
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - programStart).count();
    if (FILE* f = fopen(file, "a")) {
        fprintf(f, "%s %.1f\n", event, ms);
        fclose(f);
    }
}
