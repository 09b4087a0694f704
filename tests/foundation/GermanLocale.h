// The German locale the tests make for themselves (tests/locale): set for
// one category, false when it is not there (the test then skips). A build's
// LOCPATH comes from the test's environment, or else from KYT_TEST_LOCALES.
#ifndef KYT_TESTS_GERMANLOCALE_H
#define KYT_TESTS_GERMANLOCALE_H

#include <clocale>
#include <cstdlib>

inline bool setGermanLocale(int category)
{
#ifdef KYT_TEST_LOCALES
    setenv("LOCPATH", KYT_TEST_LOCALES, 0);
#endif
    return setlocale(category, "de_DE.UTF-8") || setlocale(category, "de_DE");
}

#endif
