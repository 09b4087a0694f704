// kythelp.txt of the installation holds every section that kyt's dialogs
// ask for, read through the workspace's own section reader.
#include "HelpTopics.h"

#include "DeferredMessages.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

TEST(KytHelpTest, EverySectionTheDialogsAskForHasText)
{
    std::set<std::string> topics(std::begin(kKytTopics), std::end(kKytTopics));
    const std::set<std::string> inSources = topicsInSources("kyt");
    topics.insert(inSources.begin(), inSources.end());
    // The scan finds what the code already asks for.
    EXPECT_EQ(1u, inSources.count("IDH_HELP_FontSelDlg"));

    for (const std::string& topic : topics) {
        SCOPED_TRACE(topic);
        RecordingScope rec;
        String text = loadHelpSection((kInstallationDir + "/hilfe").c_str(), topic.c_str());
        EXPECT_GT(text.getLength(), 40u);
        EXPECT_TRUE(rec.sink.boxes.empty()) << (rec.sink.boxes.empty() ? "" : rec.sink.boxes[0]);
        // A section never runs into the next one.
        EXPECT_EQ(std::string::npos, std::string(text.text()).find("IDH_HELP_"));
    }
    EXPECT_TRUE(isWindows1252German(readHelpFile("kythelp.txt")));
}
