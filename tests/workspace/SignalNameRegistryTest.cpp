#include "SignalNameRegistry.h"

#include <gtest/gtest.h>

namespace {

TEST(SignalNameRegistryTest, AutomaticNames)
{
    SignalNameRegistry r;
    EXPECT_STREQ("Sig 1", r.add()->text());
    String* s2 = r.add();
    String* s3 = r.add();
    EXPECT_STREQ("Sig 2", s2->text());
    EXPECT_STREQ("Sig 3", s3->text());
    // The last automatic number is given again.
    r.remove(s3);
    String* again = r.add();
    EXPECT_STREQ("Sig 3", again->text());
    EXPECT_EQ(3, r.count());
}

TEST(SignalNameRegistryTest, RemovingAnEarlierNameKeepsTheCounter)
{
    SignalNameRegistry r;
    String* s1 = r.add();
    r.add();
    r.add();
    r.remove(s1);
    EXPECT_EQ(0, r.contains("Sig 1"));
    EXPECT_STREQ("Sig 4", r.add()->text());
}

TEST(SignalNameRegistryTest, RemoveGoesByIdentity)
{
    SignalNameRegistry r;
    String* a = r.add("y");
    String other("y");
    r.remove(&other);
    EXPECT_EQ(1, r.contains("y"));
    r.remove(a);
    EXPECT_EQ(0, r.contains("y"));
    EXPECT_EQ(0, r.count());
}

TEST(SignalNameRegistryTest, GivenNamesGetASuffix)
{
    SignalNameRegistry r;
    EXPECT_STREQ("y", r.add("y")->text());
    EXPECT_STREQ("y_1", r.add("y")->text());
    EXPECT_STREQ("y_2", r.add("y")->text());
}

TEST(SignalNameRegistryTest, Rename)
{
    SignalNameRegistry r;
    String* a = r.add("a");
    r.add("b");
    EXPECT_EQ(1, r.rename("a", "a"));
    EXPECT_EQ(0, r.rename("a", "b"));
    EXPECT_EQ(0, r.rename("fehlt", "c"));
    EXPECT_EQ(1, r.rename("a", "c"));
    // The block's pointer sees the new name.
    EXPECT_STREQ("c", a->text());
    EXPECT_EQ(0, r.contains("a"));
}

TEST(SignalNameRegistryTest, HandTypedNamesAreSkipped)
{
    SignalNameRegistry r;
    r.add();
    r.add();
    r.add();
    r.add();
    r.add("Sig 5");
    EXPECT_STREQ("Sig 6", r.add()->text());
    EXPECT_EQ(0, r.contains("Sig"));
}

} // namespace
