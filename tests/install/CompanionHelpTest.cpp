// fuzzyhlp.txt and identhlp.txt of the installation, read through the
// companions' own help readers: every topic of kytfuzzy and a section for
// every identification method.
#include "HelpTopics.h"

#include "EditorStrings.h"
#include "FuzzyOptions.h"
#include "IdentHelp.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

// kytfuzzy reads its help file under the name of its own string table.
class FuzzyHelpTest : public EditorStringsTest {};

TEST_F(FuzzyHelpTest, EveryFuzzyTopicHasText)
{
    std::set<std::string> topics(std::begin(kFuzzyTopics), std::end(kFuzzyTopics));
    const std::set<std::string> inSources = topicsInSources("fuzzy");
    topics.insert(inSources.begin(), inSources.end());
    FuzzyOptions options;
    options.setHelpDir(kInstallationDir + "/hilfe");
    for (const std::string& topic : topics) {
        SCOPED_TRACE(topic);
        RecordingScope rec;
        const std::string text = options.loadHelpText(topic);
        EXPECT_GT(text.size(), 40u);
        EXPECT_TRUE(rec.sink.boxes.empty()) << (rec.sink.boxes.empty() ? "" : rec.sink.boxes[0]);
        EXPECT_EQ(std::string::npos, text.find("IDH_HELP_"));
    }
    EXPECT_TRUE(isWindows1252German(readHelpFile("fuzzyhlp.txt")));
}

TEST(CompanionHelpTest, EveryIdentificationMethodHasItsSection)
{
    const std::string path = identHelpPath(kInstallationDir + "/hilfe/");
    bool opened = false;
    EXPECT_EQ('z', probeIdentHelp(path, &opened));
    ASSERT_TRUE(opened);
    for (int method = 0; method < 6; ++method) {
        SCOPED_TRACE(method);
        std::string text;
        ASSERT_TRUE(identMethodHelp(path, method, 'z', &text));
        EXPECT_GT(text.size(), 40u);
        EXPECT_EQ(std::string::npos, text.find("steht leider keine Hilfe")) << text;
        // Markers never show: "&z" became the letter, the next section
        // was not copied.
        EXPECT_EQ(std::string::npos, text.find('&')) << text;
    }
    std::string general;
    ASSERT_TRUE(identGeneralHelp(path, 'z', &general));
    EXPECT_NE(std::string::npos, general.find("G(z) = B(z)/A(z)")) << general;
    EXPECT_EQ(std::string::npos, general.find("&")) << general;
    EXPECT_TRUE(isWindows1252German(readHelpFile("identhlp.txt")));
}
