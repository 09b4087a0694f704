#include "ADArray.h"
#include "AList.h"
#include "ElementDestroy.h"
#include "ErrorReporter.h"
#include "LibraryRecords.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct GrowthCase {
    const char* what;
    int initialSize;  // reached with step 1 before the step is set
    unsigned int growBy;
    int index;
    unsigned int expectedSize;
};

const GrowthCase growthCases[] = {
    {"index 5 on empty, step 1", 0, 1, 5, 6},
    {"index 3 on size 2, step 10", 2, 10, 3, 12},
    {"index 0 on empty, step 4", 0, 4, 0, 4},
    {"index 20 on size 4, step 4", 4, 4, 20, 21},
    {"index inside does not grow", 8, 4, 7, 8},
};

TEST(ADArrayTest, GrowthFollowsTheTable)
{
    for (const GrowthCase& c : growthCases) {
        SCOPED_TRACE(c.what);
        ADArray<int> a(1);
        a.SetDefault(-7);
        for (int i = 0; i < c.initialSize; ++i)
            a.ElementAt(i) = i;
        ASSERT_EQ(static_cast<unsigned int>(c.initialSize), a.GetSize());
        a.SetGrowBy(c.growBy);
        a.ElementAt(c.index);
        EXPECT_EQ(c.expectedSize, a.GetSize());
        // Old elements keep their values, new ones are the default.
        for (int i = 0; i < static_cast<int>(a.GetSize()); ++i)
            EXPECT_EQ(i < c.initialSize ? i : -7, a.ElementAt(i));
    }
}

TEST(ADArrayTest, ReadingBeyondTheEndGrowsWithDefaults)
{
    ADArray<String> a(1);
    a.SetDefault(String("leer"));
    EXPECT_STREQ("leer", a.ElementAt(5).text());
    ASSERT_EQ(6u, a.GetSize());
    for (int i = 0; i < 6; ++i)
        EXPECT_STREQ("leer", a.ElementAt(i).text());
    a.ElementAt(2) = "zwei";
    a.ElementAt(9);
    EXPECT_EQ(10u, a.GetSize());
    EXPECT_STREQ("zwei", a.ElementAt(2).text());
}

TEST(ADArrayTest, CopyIsDeep)
{
    ADArray<String> a(2);
    a.ElementAt(0) = "Regler";
    a.ElementAt(1) = "Strecke";
    ADArray<String> b(a);
    b.ElementAt(0) = "anders";
    EXPECT_STREQ("Regler", a.ElementAt(0).text());
    EXPECT_STREQ("Strecke", b.ElementAt(1).text());
    EXPECT_EQ(a.GetSize(), b.GetSize());
}

// The list: payloads record their destruction so the tests see which
// element-destroy calls happened.
std::vector<int> destroyed;

void recordDestroy(int& payload)
{
    destroyed.push_back(payload);
}

std::vector<int> walkForward(AList<int>& l)
{
    std::vector<int> r;
    for (AList<int>::Position p = l.GetHeadPosition(); p; p = l.GetNext(p))
        r.push_back(l.GetAt(p));
    return r;
}

std::vector<int> walkBackward(AList<int>& l)
{
    std::vector<int> r;
    for (AList<int>::Position p = l.GetTailPosition(); p; p = l.GetPrev(p))
        r.push_back(l.GetAt(p));
    return r;
}

struct RemoveCase {
    const char* what;
    int listSize;
    int removeIndex;
    std::vector<int> forward;
};

const RemoveCase removeCases[] = {
    {"only node", 1, 0, {}},
    {"head of three", 3, 0, {2, 3}},
    {"middle of three", 3, 1, {1, 3}},
    {"tail of three", 3, 2, {1, 2}},
};

TEST(AListTest, RemoveAtRelinksNeighbours)
{
    for (const RemoveCase& c : removeCases) {
        SCOPED_TRACE(c.what);
        destroyed.clear();
        AList<int> l(recordDestroy);
        std::vector<AList<int>::Position> pos;
        for (int i = 1; i <= c.listSize; ++i)
            pos.push_back(l.AddTail(i));
        l.RemoveAt(pos[c.removeIndex]);
        EXPECT_EQ(std::vector<int>{c.removeIndex + 1}, destroyed);
        EXPECT_EQ(c.forward, walkForward(l));
        std::vector<int> back(c.forward.rbegin(), c.forward.rend());
        EXPECT_EQ(back, walkBackward(l));
        if (c.forward.empty()) {
            EXPECT_EQ(nullptr, l.GetHeadPosition());
            EXPECT_EQ(nullptr, l.GetTailPosition());
        } else {
            EXPECT_EQ(nullptr, l.GetHeadPosition()->pPrev);
            EXPECT_EQ(nullptr, l.GetTailPosition()->pNext);
        }
    }
}

TEST(AListTest, InsertBeforeHeadMiddleAndNull)
{
    destroyed.clear();
    AList<int> l(recordDestroy);
    AList<int>::Position two = l.AddTail(2);
    l.AddTail(4);
    l.InsertBefore(two, 1);
    l.InsertBefore(l.GetNext(two), 3);
    l.InsertBefore(nullptr, 5);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), walkForward(l));
    EXPECT_EQ((std::vector<int>{5, 4, 3, 2, 1}), walkBackward(l));
    l.RemoveAll();
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), destroyed);
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(nullptr, l.GetTailPosition());
}

struct Counted {
    static int alive;
    Counted() { ++alive; }
    virtual ~Counted() { --alive; }
};
int Counted::alive = 0;

struct Derived : Counted {
    static int derivedGone;
    ~Derived() override { ++derivedGone; }
};
int Derived::derivedGone = 0;

TEST(AListTest, OwningListsFreeTheirPayloads)
{
    {
        AList<Counted*> objects(deleteObjectElement<Counted>);
        objects.AddTail(new Derived);
        objects.AddTail(nullptr);
        objects.AddTail(new Counted);
        EXPECT_EQ(2, Counted::alive);
    }
    EXPECT_EQ(0, Counted::alive);
    EXPECT_EQ(1, Derived::derivedGone);

    // Strings and pairs are freed; the sanitizer build sees any leak.
    AList<String*> names(deleteStringElement);
    names.AddTail(new String("x"));
    names.RemoveAll();
    AList<StringPair*> pairs(deleteStringPairElement);
    pairs.AddTail(new StringPair{String("a"), String("b")});
    pairs.RemoveAll();

    Counted kept;
    {
        AList<Counted*> borrowed(ignoreElement<Counted*>);
        borrowed.AddTail(&kept);
    }
    EXPECT_EQ(1, Counted::alive);
}

TEST(AListDeathTest, NullPositionIsAnAssertion)
{
    setMessageBoxesEnabled(false);
    AList<int> l(recordDestroy);
    EXPECT_EXIT(l.GetAt(nullptr), ::testing::ExitedWithCode(1), "");
    setMessageBoxesEnabled(true);
}

TEST(LibraryRecordsTest, NamesBeyondTheCountAreEmptyAndDoNotGrow)
{
    LibrarySection s;
    s.setFirstName(0, String("PT1"));
    s.setSecondName(0, String("pt1.blk"));
    s.count = 1;
    EXPECT_STREQ("PT1", s.getFirstName(0).text());
    EXPECT_STREQ("pt1.blk", s.getSecondName(0).text());
    EXPECT_STREQ("", s.getFirstName(1).text());
    EXPECT_STREQ("", s.getSecondName(5).text());
    EXPECT_STREQ("", s.getFirstName(-1).text());
    EXPECT_EQ(1u, s.firstNames.GetSize());
}

TEST(LibraryRecordsTest, AssignmentCopiesGroupsAndFlags)
{
    BlockLibrary lib;
    lib.name = "Standard";
    lib.file = "C:\\KYT\\LIB";
    LibrarySection& g = lib.sections.ElementAt(0);
    g.name = "Linear";
    g.setFirstName(0, String("PT1"));
    g.setSecondName(0, String("pt1.blk"));
    g.removed.ElementAt(0) = 1;
    g.count = 1;
    lib.sectionCount = 1;

    BlockLibrary copy(lib);
    g.name = "changed";
    EXPECT_STREQ("Standard", copy.getName().text());
    EXPECT_STREQ("C:\\KYT\\LIB", copy.file.text());
    EXPECT_EQ(1, copy.sectionCount);
    LibrarySection& cg = copy.sections.ElementAt(0);
    EXPECT_STREQ("Linear", cg.name.text());
    EXPECT_STREQ("pt1.blk", cg.getSecondName(0).text());
    EXPECT_EQ(1, cg.removed.ElementAt(0));
    EXPECT_EQ(1, cg.count);
}

} // namespace
