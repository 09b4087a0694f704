#include "SignalNameRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

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

// The names as the plain rule gives them: every search starts at suffix 1
// and looks at every registered name.
class ReferenceNames {
public:
    std::string add(const char* name)
    {
        std::string candidate;
        if (!name) {
            do
                candidate = "Sig " + std::to_string(counter++);
            while (taken(candidate));
        } else {
            candidate = name;
            for (int i = 1; taken(candidate); ++i)
                candidate = std::string(name) + "_" + std::to_string(i);
        }
        names.push_back(candidate);
        return candidate;
    }
    void remove(size_t at)
    {
        if (names[at] == "Sig " + std::to_string(counter - 1))
            --counter;
        names.erase(names.begin() + at);
    }
    bool rename(size_t at, const std::string& to)
    {
        if (names[at] == to)
            return true;
        if (taken(to))
            return false;
        names[at] = to;
        return true;
    }
    bool taken(const std::string& text) const
    {
        for (const std::string& n : names)
            if (n == text)
                return true;
        return false;
    }

    std::vector<std::string> names;
    int counter = 1;
};

// Long random runs of adds (few bases, so suffixes pile up and are freed
// again), removals and renames give exactly the names of the plain rule.
TEST(SignalNameRegistryTest, IndexedSearchGivesThePlainRulesNames)
{
    const char* bases[] = {"y", "y_1", "x", "Sig", "u_2"};
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        SignalNameRegistry r;
        ReferenceNames reference;
        std::vector<String*> entries;
        for (int step = 0; step < 400; ++step) {
            int what = random() % 10;
            if (what < 6 || entries.empty()) {
                const char* base = random() % 4 == 0 ? nullptr : bases[random() % 5];
                String* s = r.add(base);
                entries.push_back(s);
                ASSERT_EQ(reference.add(base), s->text()) << "round " << round << " step " << step;
            } else if (what < 9) {
                size_t at = random() % entries.size();
                r.remove(entries[at]);
                entries.erase(entries.begin() + at);
                reference.remove(at);
            } else {
                size_t at = random() % entries.size();
                std::string to = std::string(bases[random() % 5]) + "_" + std::to_string(1 + random() % 6);
                std::string from = entries[at]->text();
                ASSERT_EQ(reference.rename(at, to), r.rename(from.c_str(), to.c_str()) == 1);
            }
            ASSERT_EQ(static_cast<int>(reference.names.size()), r.count());
        }
        for (size_t i = 0; i < reference.names.size(); ++i) {
            EXPECT_STREQ(reference.names[i].c_str(), r.nameAt(static_cast<int>(i)).text());
            EXPECT_EQ(1, r.contains(reference.names[i].c_str()));
        }
    }
}

} // namespace
