// The companions' command line: the split at blanks with quoted words, and
// the quoting that kyt writes, which the split must give back word for word.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Words;

TEST(CompanionCommandLine, SplitsAtBlanksWithQuotedWords)
{
    struct Case {
        const char* line;
        Words words;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"fuzzy C:\\kyt\\local", {"fuzzy", "C:\\kyt\\local"}},
        {"  fuzzy    C:\\kyt\\local  ", {"fuzzy", "C:\\kyt\\local"}},
        {"fuzzy \"C:\\Program Files\\kyt\\lokale Bl\"", {"fuzzy", "C:\\Program Files\\kyt\\lokale Bl"}},
        {"\"w1Fuzzy\" \"Z:\\a  b\"", {"w1Fuzzy", "Z:\\a  b"}},
        // A quoted run inside a word belongs to it.
        {"x\"a b\"y z", {"xa by", "z"}},
        // An empty pair of quotes is an empty word.
        {"\"\" b", {"", "b"}},
        // A backslash before the closing quote is no escape.
        {"\"C:\\a b\\\" name", {"C:\\a b\\", "name"}},
        // An unclosed quote runs to the end.
        {"a \"b c", {"a", "b c"}},
        // A tab separates nothing.
        {"a\tb c", {"a\tb", "c"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.words, splitCommandLine(c.line)) << "[" << c.line << "]";
    EXPECT_EQ(Words(), splitCommandLine(nullptr));
}

TEST(CompanionCommandLine, QuotesWhatTheSplitGivesBack)
{
    struct Case {
        const char* word;
        const char* quoted;
    } cases[] = {
        {"fuzzy", "fuzzy"},
        {"C:\\kyt dir\\local", "\"C:\\kyt dir\\local\""},
        {"", "\"\""},
        {"a\tb", "a\tb"},
        {"C:\\a b\\", "\"C:\\a b\\\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.quoted, quoteCommandWord(c.word)) << c.word;

    const Words words = {"Z:\\bin dir\\kytfuzzy.exe", "w2Fuzzy", "Z:\\tmp\\lokale Bl\\", "", "x"};
    EXPECT_EQ("\"Z:\\bin dir\\kytfuzzy.exe\" w2Fuzzy \"Z:\\tmp\\lokale Bl\\\" \"\" x", joinCommandLine(words));
    EXPECT_EQ(words, splitCommandLine(joinCommandLine(words).c_str()));
}

} // namespace
