// The help sections that the programs ask for: the dialogs' own table and
// every "IDH_HELP_" name written in the sources, with the help file that
// holds it (kytfuzzy's sources read fuzzyhlp.txt, the rest kythelp.txt).
#ifndef KYT_TESTS_INSTALL_HELPTOPICS_H
#define KYT_TESTS_INSTALL_HELPTOPICS_H

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

const std::string kInstallationDir = KYT_INSTALL_DIR;
const std::string kSourceRoot = KYT_SOURCE_DIR;

// Sections of dialogs whose "Hilfe" buttons exist or are being built.
const char* const kKytTopics[] = {
    "IDH_HELP_General",          "IDH_HELP_OptionsDlg",         "IDH_HELP_ZizAdirOptionsDlg",
    "IDH_HELP_FontSelDlg",       "IDH_HELP_SelectBlockDlg",     "IDH_HELP_BlockLayoutDlg",
    "IDH_HELP_TextBlockLayoutDlg", "IDH_HELP_FrameBlockLayoutDlg", "IDH_HELP_MarkDataDlg",
    "IDH_HELP_SigNameDlg",       "IDH_HELP_LaplaceWizardDlg",   "IDH_HELP_IdentWindow",
};
const char* const kFuzzyTopics[] = {
    "IDH_HELP_FuzzyGeneral", "IDH_HELP_Configuration",  "IDH_HELP_Lvar",
    "IDH_HELP_Fset",         "IDH_HELP_ChangeLvarName", "IDH_HELP_ChangeFsetName",
    "IDH_HELP_Hill",         "IDH_HELP_Surface",        "IDH_HELP_Errormessages",
    "IDH_HELP_ZizAdirOptionsDlg", "IDH_HELP_FontSelDlg",
};

// Whole names "IDH_HELP_X" in the program sources (tests left out), for
// the help file of the folder: "fuzzy" for kytfuzzy/, "kyt" for the rest.
inline std::set<std::string> topicsInSources(const std::string& which)
{
    namespace fs = std::filesystem;
    const std::regex name("\"IDH_HELP_[A-Za-z0-9_]+\"");
    std::set<std::string> found;
    for (auto it = fs::recursive_directory_iterator(kSourceRoot); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path& p = it->path();
        const std::string relative = fs::relative(p, kSourceRoot).generic_string();
        if (it->is_directory()) {
            if (relative == "tests" || relative == ".git" || relative.rfind("build", 0) == 0 || relative == "install")
                it.disable_recursion_pending();
            continue;
        }
        const std::string ext = p.extension().string();
        if (ext != ".cpp" && ext != ".h" && ext != ".rc" && ext != ".strings")
            continue;
        const bool fuzzy = relative.rfind("kytfuzzy/", 0) == 0;
        if (fuzzy != (which == "fuzzy"))
            continue;
        // Names in quotes on code lines: comments tell about names too.
        std::ifstream in(p);
        std::string line;
        while (std::getline(in, line)) {
            const size_t start = line.find_first_not_of(" \t");
            if (start == std::string::npos || line.compare(start, 2, "//") == 0 || line[start] == '*' ||
                line[start] == '#')
                continue;
            for (std::sregex_iterator m(line.begin(), line.end(), name), end; m != end; ++m)
                found.insert(m->str().substr(1, m->str().size() - 2));
        }
    }
    return found;
}

inline std::string readHelpFile(const std::string& name)
{
    std::ifstream in(kInstallationDir + "/hilfe/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Shipped texts are Windows-1252: German letters as single bytes, no UTF-8.
inline bool isWindows1252German(const std::string& text)
{
    return text.find("\xC3") == std::string::npos && text.find('\xFC') != std::string::npos;
}

#endif
