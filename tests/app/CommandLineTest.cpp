#include "KytCommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* line;
    const char* file;
    int run;
    int print;
    const char* iniDirectory;
};

// The directory before the line is read: "C:\\kyt". Words are split as the
// companions split theirs: at blanks, a quoted run belongs to its word.
const Case kCases[] = {
    {"-r -p f.kyt", "f.kyt", 1, 1, "C:\\kyt"},
    {"/Pxx", "", 0, 1, "C:\\kyt"},
    {"-R", "", 1, 0, "C:\\kyt"},
    {"/rest", "", 1, 0, "C:\\kyt"},
    {"-iC:\\k x", "x", 0, 0, "C:\\k"},
    {"/IC:\\k", "", 0, 0, "C:\\k"},
    {"-i C:\\k", "C:\\k", 0, 0, ""},
    {"a b", "b", 0, 0, "C:\\kyt"},
    {"-x", "", 0, 0, "C:\\kyt"},
    {"-", "", 0, 0, "C:\\kyt"},
    {"/", "", 0, 0, "C:\\kyt"},
    {"", "", 0, 0, "C:\\kyt"},
    {"     ", "", 0, 0, "C:\\kyt"},
    {"a.kyt -x b.kyt", "b.kyt", 0, 0, "C:\\kyt"},
    // Quotes hold a word with blanks together and are not part of it.
    {"\"x.kyt\"", "x.kyt", 0, 0, "C:\\kyt"},
    {"\"my circuit.kyt\"", "my circuit.kyt", 0, 0, "C:\\kyt"},
    {"-r \"C:\\Meine Schaltungen\\regel.kyt\"", "C:\\Meine Schaltungen\\regel.kyt", 1, 0, "C:\\kyt"},
    {"\"C:\\Meine Schaltungen\\regel.kyt\" -r -p", "C:\\Meine Schaltungen\\regel.kyt", 1, 1, "C:\\kyt"},
    {"C:\\Meine\" \"Schaltungen\\regel.kyt", "C:\\Meine Schaltungen\\regel.kyt", 0, 0, "C:\\kyt"},
    {"\"-iC:\\Program Files\\KYT\" r.kyt", "r.kyt", 0, 0, "C:\\Program Files\\KYT"},
    {"-i\"C:\\Program Files\\KYT\\\" \"a b.kyt\"", "a b.kyt", 0, 0, "C:\\Program Files\\KYT\\"},
    // An unclosed quote runs to the end of the line.
    {"-p \"C:\\a b\\c.kyt", "C:\\a b\\c.kyt", 0, 1, "C:\\kyt"},
    // A quoted empty word names nothing; a quoted option is still an option.
    {"f.kyt \"\"", "f.kyt", 0, 0, "C:\\kyt"},
    {"\"-r\" f.kyt", "f.kyt", 1, 0, "C:\\kyt"},
    // A quoted "-" or "/" word is an option like an unquoted one.
    {"\"/p\"", "", 0, 1, "C:\\kyt"},
    // A tab separates nothing, as on the companions' command lines.
    {"a\tb", "a\tb", 0, 0, "C:\\kyt"},
    {"-r\tf.kyt", "", 1, 0, "C:\\kyt"},
};

TEST(CommandLine, WordsAndOptions)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string("command line: [") + c.line + "]");
        CommandLineRequest r = parseCommandLine(c.line, "C:\\kyt");
        EXPECT_EQ(r.circuitFile, c.file);
        EXPECT_EQ(r.runAfterLoad, c.run);
        EXPECT_EQ(r.printAfterLoad, c.print);
        EXPECT_EQ(r.iniDirectory, c.iniDirectory);
    }
}

TEST(CommandLine, NullTextLeavesEverything)
{
    CommandLineRequest r = parseCommandLine(nullptr, "D:\\x");
    EXPECT_EQ(r.circuitFile, "");
    EXPECT_EQ(r.iniDirectory, "D:\\x");
}

// The directory buffer holds 259 characters: a longer "-i" directory is
// refused whole, one that fits is taken.
TEST(CommandLine, IniDirectoryLongerThanTheBufferLeavesTheDirectory)
{
    const std::string fits(kMaxIniDirectory, 'k');
    EXPECT_EQ(parseCommandLine(("-i" + fits).c_str(), "C:\\kyt").iniDirectory, fits);
    const std::string tooLong(kMaxIniDirectory + 1, 'k');
    EXPECT_EQ(parseCommandLine(("-i" + tooLong).c_str(), "C:\\kyt").iniDirectory, "C:\\kyt");
    CommandLineRequest r = parseCommandLine(("-i" + std::string(300, 'd') + " x.kyt").c_str(), "C:\\kyt");
    EXPECT_EQ(r.iniDirectory, "C:\\kyt");
    EXPECT_EQ(r.circuitFile, "x.kyt");
}

} // namespace
