#include "Assert.h"

#include "ErrorReporter.h"

#include <cstdlib>

void AssertFailed(const char* expression, const char* file, int line)
{
    reportError(ERR_FATAL, "Internal KYT 2.x error\nAssertion \"%s\" failed\nin file \"%s\":%d\n",
                expression, file, line);
    // A sink that returns from endProcess must not let the program go on.
    abort();
}

int IsValidAddress(const void* p, size_t, int)
{
    return p != nullptr ? 1 : 0;
}
