#include "ResString.h"
#include "String.h"

#include <gtest/gtest.h>

namespace {

int loads = 0;

int countingLoader(const ResourceId& id, char* buf, int maxLen)
{
    ++loads;
    const char* t = id.id == 777 ? "F\xFCnf" : nullptr;
    if (!t)
        return 0;
    int n = 0;
    while (t[n] && n < maxLen) {
        buf[n] = t[n];
        ++n;
    }
    buf[n] = 0;
    return n;
}

TEST(ResStringTest, TextIsLoadedOnceAndKeepsItsAddress)
{
    freeResStringCache();
    setResourceStringLoader(countingLoader);
    loads = 0;
    const char* a = getResString(777);
    const char* b = getResString(777);
    EXPECT_EQ(a, b);
    EXPECT_STREQ("F\xFCnf", a);
    EXPECT_EQ(1, loads);

    // An unknown id is an empty text, cached as well.
    const char* u1 = getResString(778);
    const char* u2 = getResString(778);
    EXPECT_STREQ("", u1);
    EXPECT_EQ(u1, u2);
    EXPECT_EQ(2, loads);

    freeResStringCache();
    setResourceStringLoader(nullptr);
}

TEST(ResStringTest, CompiledTableHasTheReporterTexts)
{
    EXPECT_STREQ("Warnung:", lookupCompiledString(20908));
    EXPECT_STREQ("\nDas Programm bricht ab.\n", lookupCompiledString(20911));
    EXPECT_EQ(nullptr, lookupCompiledString(1));
}

} // namespace

namespace {

TEST(ResourceIdTest, NamesAreOwnedCopiesAndNumbersWin)
{
    char name[] = "MAINMENU";
    ResourceId byName(name, ResourceId::kNoLibrary);
    name[0] = 'X';
    EXPECT_STREQ("MAINMENU", byName.name());
    EXPECT_FALSE(byName.isNumeric());
    EXPECT_EQ(nullptr, byName.libraryFile);

    ResourceId copy(byName);
    ResourceId assigned(7);
    assigned = copy;
    EXPECT_NE(byName.nameText, copy.nameText);
    EXPECT_STREQ("MAINMENU", assigned.name());

    ResourceId numeric(0x12345, "kytres.dll");
    EXPECT_EQ(reinterpret_cast<const char*>(0x2345), numeric.name());
    EXPECT_STREQ("kytres.dll", numeric.libraryFile);

    int module = 0;
    ResourceId inModule("ICON1", static_cast<void*>(&module));
    EXPECT_EQ(&module, inModule.module);
    EXPECT_EQ(nullptr, inModule.libraryFile);
}

} // namespace
