// kythelp.txt of the installation holds every section that kyt's dialogs
// ask for, read through the workspace's own section reader.
#include "HelpTopics.h"

#include "DeferredMessages.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>

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

namespace {

std::string sourceText(const std::string& relative)
{
    std::ifstream in(kSourceRoot + "/" + relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A Windows-1252 letter of the resource scripts' octal escapes, in UTF-8
// like the rest of the sources (the German letters are Latin-1).
std::string utf8Of(unsigned code)
{
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// What the program shows of a menu or button text: without "&", with its
// escapes read; the accelerator after a tab apart, "Ctrl" as "Strg".
struct ShownText {
    std::string text;
    std::string accelerator;
};

ShownText shownText(const std::string& literal)
{
    ShownText shown;
    std::string* to = &shown.text;
    for (size_t i = 0; i < literal.size(); ++i) {
        const char c = literal[i];
        if (c == '&')
            continue;
        if (c == '\\' && i + 1 < literal.size()) {
            const char next = literal[i + 1];
            if (next == 't') {
                to = &shown.accelerator;
                ++i;
            } else if (next >= '0' && next <= '7') {
                unsigned code = 0;
                size_t k = i + 1;
                for (; k < literal.size() && k < i + 4 && literal[k] >= '0' && literal[k] <= '7'; ++k)
                    code = code * 8 + static_cast<unsigned>(literal[k] - '0');
                *to += utf8Of(code);
                i = k - 1;
            } else {
                *to += ' ';
                ++i;
            }
            continue;
        }
        *to += c;
    }
    if (shown.accelerator.rfind("Ctrl+", 0) == 0)
        shown.accelerator = "Strg+" + shown.accelerator.substr(5);
    return shown;
}

// Every text of kyt's menus, tool names, dialog buttons and status lines,
// with the accelerators each is shown with: the string literals of the
// resource scripts and of the code that builds the pop-up menus, and the
// string table.
std::map<std::string, std::set<std::string>> programTexts()
{
    std::map<std::string, std::set<std::string>> texts;
    const std::regex literal("\"((?:[^\"\\\\]|\\\\.)*)\"");
    for (const char* file : {"app/kyt.rc", "editor/Editor.rc", "plot/Plot.rc", "circuitfiles/BlockCatalogue.cpp",
                             "editor/BlockMenus.cpp"}) {
        const std::string text = sourceText(file);
        EXPECT_FALSE(text.empty()) << file;
        for (std::sregex_iterator m(text.begin(), text.end(), literal), end; m != end; ++m) {
            const ShownText shown = shownText((*m)[1].str());
            texts[shown.text].insert(shown.accelerator);
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(kSourceRoot + "/foundation/strings")) {
        if (entry.path().extension() != ".strings")
            continue;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            // number, tab, name, tab, text
            const size_t tab = line.find('\t');
            const size_t textTab = tab == std::string::npos ? tab : line.find('\t', tab + 1);
            if (textTab != std::string::npos)
                texts[shownText(line.substr(textTab + 1)).text].insert("");
        }
    }
    return texts;
}

// The general help as the source holds it, blanks and line ends as one
// blank each.
std::string generalHelp()
{
    const std::string file = sourceText("install/hilfe/kythelp.txt");
    const size_t start = file.find("IDH_HELP_General\n");
    if (start == std::string::npos)
        return std::string();
    const size_t body = file.find('\n', start) + 1;
    const size_t end = file.find("\nIDH_HELP_", body);
    const std::string section = file.substr(body, end == std::string::npos ? std::string::npos : end - body);
    return std::regex_replace(section, std::regex("\\s+"), " ");
}

} // namespace

// The general help teaches the program as it is: every text it quotes is a
// menu item, a tool, a button or a status line of kyt as shown (without the
// "&"), and a shortcut named after it in brackets is the one the menu shows.
TEST(KytHelpTest, TheGeneralHelpQuotesOnlyWhatTheProgramShows)
{
    const std::map<std::string, std::set<std::string>> texts = programTexts();
    ASSERT_GT(texts.size(), 100u);
    const std::string help = generalHelp();
    ASSERT_GT(help.size(), 2000u);
    const std::regex quoted("\"([^\"]+)\"");
    size_t count = 0;
    for (std::sregex_iterator m(help.begin(), help.end(), quoted), end; m != end; ++m, ++count)
        EXPECT_EQ(1u, texts.count((*m)[1].str())) << "not a text of kyt: \"" << (*m)[1].str() << "\"";
    EXPECT_GT(count, 30u);

    const std::regex withKey("\"([^\"]+)\" \\((Strg\\+[A-Z]|F[0-9]+)\\)");
    size_t keys = 0;
    for (std::sregex_iterator m(help.begin(), help.end(), withKey), end; m != end; ++m, ++keys) {
        const auto it = texts.find((*m)[1].str());
        ASSERT_NE(texts.end(), it) << (*m)[1].str();
        EXPECT_EQ(1u, it->second.count((*m)[2].str()))
            << "\"" << (*m)[1].str() << "\" has no shortcut " << (*m)[2].str();
    }
    EXPECT_GT(keys, 10u);

    // The road of a first circuit, in the order a user takes it.
    size_t at = 0;
    for (const char* step : {"Blockbibliotheken ...", "Verbinden", "Parameter ...", "Signale markieren",
                             "Markiere Daten ...", "Steuerblock", "Start ...", "Zoom", "Reskalieren", "Export",
                             "ASCII Datei ..."}) {
        const size_t found = help.find(step, at);
        EXPECT_NE(std::string::npos, found) << step;
        if (found != std::string::npos)
            at = found;
    }
}
