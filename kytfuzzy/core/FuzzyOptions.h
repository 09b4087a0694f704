// The options of the fuzzy-block editor: directories, recent files and the
// colour of the graphic panes, kept in kytfuzzy.set in the temporary
// directory. The window parts (menus, plot windows, help window) sit on top.
#ifndef KYT_KYTFUZZY_FUZZYOPTIONS_H
#define KYT_KYTFUZZY_FUZZYOPTIONS_H

#include <string>

struct FuzzyPaneColor {
    int red, green, blue, flag;
    bool operator==(const FuzzyPaneColor& o) const
    {
        return red == o.red && green == o.green && blue == o.blue && flag == o.flag;
    }
};

class FuzzyOptions {
public:
    static const int kRecentCount = 5;
    static const unsigned int kFirstRecentCommand = 11037;
    // Colour without a settings file, and for a colour line that is not
    // three values of 0 to 255.
    static const FuzzyPaneColor kDefaultColor;
    static const FuzzyPaneColor kBadColor;

    FuzzyOptions();

    void setTempDir(const std::string& dir) { tempDir = dir; }
    void setHelpDir(const std::string& dir) { helpDir = dir; }
    const std::string& getTempDir() const { return tempDir; }
    const std::string& getHelpDir() const { return helpDir; }
    std::string settingsPath() const;

    void readSettingsFile();
    // Replaces kytfuzzy.set only by a complete new file; false when not written.
    bool writeSettingsFile() const;

    // To the front; an entry already in the list moves there.
    void addRecentFile(const std::string& path);
    // The path of a recent-file command, or empty.
    std::string getRecentFile(unsigned int command) const;
    const std::string& recentAt(int index) const { return recent[index]; }
    // Entries the menu shows and the file keeps: up to the first empty one.
    int shownRecentCount() const;

    FuzzyPaneColor color;

private:
    std::string tempDir;
    std::string helpDir;
    std::string recent[kRecentCount];
};

#endif
