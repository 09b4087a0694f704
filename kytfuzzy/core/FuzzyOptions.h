// The options of the fuzzy-block editor: directories, recent files and the
// colour of the graphic panes, kept in kytfuzzy.set in the temporary
// directory. The window parts (menus, plot windows, help window) sit on top.
#ifndef KYT_KYTFUZZY_FUZZYOPTIONS_H
#define KYT_KYTFUZZY_FUZZYOPTIONS_H

#include "HelpViewer.h"
#include "ListingText.h"

#include <string>
#include <vector>

// The record every new curve of a plot window starts from.
struct FuzzyPlotParams {
    int autoX = 1;
    int autoY = 1;
    double xScale = 1.0;
    double yScale = 1.0;
    double xOffset = 0.0;
    double yOffset = 0.0;
};

// What the options need of a plot window (a ZIZadir). Destroying the window
// calls removePlotWindow.
class FuzzyPlotWindow {
public:
    virtual ~FuzzyPlotWindow() {}
    virtual void setTitle(const std::string& title) = 0;
    virtual std::string getTitle() const = 0;
    // Hidden and shown again: to the front.
    virtual void bringToFront() = 0;
    // Button 18037 checked and disabled, menu entry 18037 grayed.
    virtual void showFrozen() = 0;
    // Menu entries 18033-18037 and buttons 18034-18037 while a curve is
    // computed (off) and after it (on).
    virtual void enableCurveCommands(bool on) = 0;
    virtual void destroy() = 0;
};

// The program's side of the plot windows and help.
class FuzzyPlotHost {
public:
    virtual ~FuzzyPlotHost() {}
    virtual FuzzyPlotWindow* createPlotWindow(void* parent, int x, int y, int width, int height,
                                              const std::string& title) = 0;
    // The question box (MB_YESNO | MB_ICONQUESTION) owned by parent; true for Yes.
    virtual bool askYesNo(void* parent, const std::string& text, const std::string& caption) = 0;
    // The control-surface window to the front; false when there is none.
    virtual bool surfaceToFront() = 0;
    // The Window menu lists the plot windows: rebuild it.
    virtual void windowMenuChanged() = 0;
};

// One item of a rebuilt popup: a command with its text, or a separator (id 0).
struct FuzzyMenuItem {
    unsigned int id;
    std::string text;
};

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
    ~FuzzyOptions();
    FuzzyOptions(const FuzzyOptions&) = delete;
    FuzzyOptions& operator=(const FuzzyOptions&) = delete;

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

    // The text of a help topic from fuzzyhlp.txt in the help directory:
    // the lines after the first line containing topic, up to the next
    // "IDH_HELP_" line. Reports a missing file, topic or a text too long.
    std::string loadHelpText(const std::string& topic) const;
    // The topic's text in the help window: the old window goes, a new one
    // comes. Nothing happens when there is no text (the reasons are
    // reported).
    void showHelp(const std::string& topic);
    // A text in the program's one help window, titled 17660.
    void showHelpWindow(const std::string& text);
    // The help window goes; none is left.
    void closeHelp();
    void setHelpViewerFactory(HelpViewerFactory* factory) { helpFactory = factory; }
    HelpViewer* getHelpWindow() const { return helpWindow; }

    // The popups "&Datei" and "&Fenster" as the menu shows them.
    std::vector<FuzzyMenuItem> fileMenuItems() const;
    std::vector<FuzzyMenuItem> windowMenuItems() const;

    // Plot windows in nine slots, commands 18201-18209; 18230 is the
    // active one.
    static const int kPlotSlots = 9;
    static const unsigned int kFirstPlotCommand = 18201;
    static const unsigned int kActivePlotCommand = 18230;
    void setPlotHost(FuzzyPlotHost* host) { plotHost = host; }
    // 0 opened, 1 refused.
    int newPlotWindow(void* parent);
    void removePlotWindow(FuzzyPlotWindow* window);
    void freezePlotWindow(FuzzyPlotWindow* window);
    // 1 when a window came to the front, 0 after the message.
    int bringPlotWindowToFront(unsigned int command);
    void beginPlotUpdate(int keep);
    void endPlotUpdate(int clear);
    void copyPlotParams(FuzzyPlotParams* target) const { *target = plotParams; }
    FuzzyPlotWindow* plotWindowAt(int slot) const { return slot >= 0 && slot < kPlotSlots ? plotSlots[slot] : nullptr; }
    bool isPlotUpdating() const { return plotUpdating != 0; }
    // Deletes every plot window still in a slot.
    void closePlotWindows();

    FuzzyPaneColor color;
    FuzzyPlotParams plotParams;

private:
    int slotOf(const FuzzyPlotWindow* window) const;
    std::string plotTitle(int slot, unsigned int stateText) const;

    FuzzyPlotHost* plotHost = nullptr;
    HelpViewerFactory* helpFactory = nullptr;
    // Cleared by the window itself when it is closed.
    HelpViewer* helpWindow = nullptr;
    FuzzyPlotWindow* plotSlots[kPlotSlots] = {};
    int plotUpdating = 0;
    int plotKeep = 0;

    std::string tempDir;
    std::string helpDir;
    std::string recent[kRecentCount];
};

// kytfuzzy's listing of a file at a line: fifty lines above it, ten below,
// English texts.
ListingStyle fuzzyListingStyle();

// The window receiving the next curve, program-wide; null when none.
FuzzyPlotWindow* activePlotWindow();

#endif
