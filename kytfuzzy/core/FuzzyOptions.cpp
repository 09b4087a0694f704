#include "FuzzyOptions.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "ResString.h"
#include "strings/KytfuzzyStrings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const FuzzyPaneColor FuzzyOptions::kDefaultColor = {255, 255, 232, 0};
const FuzzyPaneColor FuzzyOptions::kBadColor = {254, 255, 223, 0};

namespace {

FuzzyPlotWindow* gActivePlot = nullptr;

// The help file's text stops growing here; a topic this long is refused.
const size_t kHelpLimit = 16000;
// Help lines are read whole up to this length.
const size_t kMaxHelpLine = 1 << 20;


// Longest line the settings reader takes.
const size_t kMaxSettingsLine = 511;

// Exactly three whole numbers of 0 to 255. A mended fault: larger values
// were taken and wrapped in the colour bytes.
bool parseColor(const char* text, FuzzyPaneColor* c)
{
    long v[3];
    const char* p = text;
    for (long& x : v) {
        char* end = nullptr;
        x = strtol(p, &end, 10);
        if (end == p || x < 0 || x > 255)
            return false;
        p = end;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p)
        return false;
    *c = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), 0};
    return true;
}

} // namespace

FuzzyOptions::FuzzyOptions() : color{0, 0, 0, 0} {}

FuzzyOptions::~FuzzyOptions()
{
    closeHelp();
    closePlotWindows();
}

std::string FuzzyOptions::settingsPath() const
{
    return joinPath(tempDir.c_str(), "kytfuzzy.set").text();
}

void FuzzyOptions::readSettingsFile()
{
    FILE* f = openFile(settingsPath().c_str(), "rt");
    if (!f) {
        color = kDefaultColor;
        return;
    }
    std::string line;
    while (readBoundedLine(f, line, kMaxSettingsLine) != LINE_AT_END) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 6 && line.compare(0, 6, "COLOR ") == 0) {
            if (!parseColor(line.c_str() + 6, &color))
                color = kBadColor;
        } else if (line.size() > 7 && line.compare(0, 4, "FILE") == 0) {
            char* end = nullptr;
            long index = strtol(line.c_str() + 4, &end, 10);
            const char* open = strchr(end, '"');
            const char* close = open ? strchr(open + 1, '"') : nullptr;
            if (end != line.c_str() + 4 && index >= 0 && index < kRecentCount && close)
                recent[index].assign(open + 1, close);
        }
    }
    fclose(f);
}

bool FuzzyOptions::writeSettingsFile() const
{
    return writeFileChecked(settingsPath().c_str(), "wt", [this](FILE* f) {
        bool good = fprintf(f, "COLOR %d %d %d\n", color.red & 0xFF, color.green & 0xFF, color.blue & 0xFF) > 0;
        for (int i = 0; i < shownRecentCount(); ++i)
            good = fprintf(f, "FILE%d \"%s\"\n", i, recent[i].c_str()) > 0 && good;
        return good;
    });
}

void FuzzyOptions::addRecentFile(const std::string& path)
{
    int at = kRecentCount - 1;
    for (int i = 0; i < kRecentCount; ++i)
        if (recent[i] == path) {
            at = i;
            break;
        }
    for (int i = at; i > 0; --i)
        recent[i] = recent[i - 1];
    recent[0] = path;
}

std::string FuzzyOptions::getRecentFile(unsigned int command) const
{
    if (command < kFirstRecentCommand || command >= kFirstRecentCommand + kRecentCount)
        return "";
    return recent[command - kFirstRecentCommand];
}

int FuzzyOptions::shownRecentCount() const
{
    int n = 0;
    while (n < kRecentCount && !recent[n].empty())
        ++n;
    return n;
}

FuzzyPlotWindow* activePlotWindow()
{
    return gActivePlot;
}

std::string FuzzyOptions::loadHelpText(const std::string& topic) const
{
    std::string path = joinPath(helpDir.c_str(), getResString(kStrFzHelpFileName)).text();
    FILE* f = openFile(path.c_str(), "r");
    if (!f) {
        reportError(0, getResString(kStrFzNoHelpFile), path.c_str());
        return "";
    }
    std::string text;
    std::string line;
    LineReadResult r;
    bool found = false;
    while (!found && (r = readBoundedLine(f, line, kMaxHelpLine)) != LINE_AT_END)
        found = line.find(topic) != std::string::npos;
    // The collected text is a growing string: the old fixed buffer was
    // overrun by the line that passed its size.
    while (found && text.size() <= kHelpLimit && (r = readBoundedLine(f, line, kMaxHelpLine)) != LINE_AT_END) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find("IDH_HELP_") != std::string::npos)
            break;
        // Short lines (with their line feed under three characters) are
        // empty lines of the text.
        if (line.size() >= 2)
            text += line;
        text += "\r\n";
    }
    if (text.empty())
        reportError(0, "%s", getResString(kStrFzNoHelp));
    else if (ferror(f))
        reportError(2, "%s", getResString(kStrFzHelpReadError));
    else if (text.size() >= kHelpLimit)
        reportError(1, "%s", getResString(kStrFzHelpTooLong));
    fclose(f);
    return text;
}

void FuzzyOptions::showHelp(const std::string& topic)
{
    const std::string text = loadHelpText(topic);
    if (!text.empty())
        showHelpWindow(text);
}

void FuzzyOptions::showHelpWindow(const std::string& text)
{
    closeHelp();
    if (helpFactory)
        helpWindow = helpFactory->createHelpViewer(getResString(kStrFzHelpTitle), text.c_str(), &helpWindow);
}

void FuzzyOptions::closeHelp()
{
    // The slot is empty before the window goes, which would clear it.
    HelpViewer* old = helpWindow;
    helpWindow = nullptr;
    delete old;
}

std::vector<FuzzyMenuItem> FuzzyOptions::fileMenuItems() const
{
    std::vector<FuzzyMenuItem> items = {
        {9003, getResString(kStrFzMenuNew)}, {110, getResString(kStrFzMenuOpen)},  {113, getResString(kStrFzMenuSave)},
        {11020, getResString(kStrFzMenuSaveAs)}, {9001, getResString(kStrFzMenuPrint)},
    };
    int n = shownRecentCount();
    if (n > 0)
        items.push_back({0, ""});
    for (int i = 0; i < n; ++i)
        items.push_back({kFirstRecentCommand + static_cast<unsigned int>(i), "&" + std::to_string(i) + " " + recent[i]});
    items.push_back({0, ""});
    items.push_back({11004, getResString(kStrFzMenuExit)});
    return items;
}

std::vector<FuzzyMenuItem> FuzzyOptions::windowMenuItems() const
{
    std::vector<FuzzyMenuItem> items = {{kActivePlotCommand, getResString(kStrFzMenuActivePlotToFront)}};
    bool separated = false;
    for (int i = 0; i < kPlotSlots; ++i) {
        if (!plotSlots[i])
            continue;
        if (!separated)
            items.push_back({0, ""});
        separated = true;
        items.push_back({kFirstPlotCommand + static_cast<unsigned int>(i),
                         "&" + std::to_string(i + 1) + " " + plotSlots[i]->getTitle()});
    }
    return items;
}

int FuzzyOptions::slotOf(const FuzzyPlotWindow* window) const
{
    for (int i = 0; i < kPlotSlots; ++i)
        if (window && plotSlots[i] == window)
            return i;
    return -1;
}

std::string FuzzyOptions::plotTitle(int slot, unsigned int stateText) const
{
    return std::string(getResString(kStrFzPlotWindowTitle)) + " " + std::to_string(slot + 1) + " " + getResString(stateText);
}

int FuzzyOptions::newPlotWindow(void* parent)
{
    if (!plotHost)
        return 1;
    int slot = -1;
    for (int i = 0; i < kPlotSlots && slot < 0; ++i)
        if (!plotSlots[i])
            slot = i;
    if (slot < 0) {
        char question[300];
        snprintf(question, sizeof question, getResString(kStrFzAllPlotsUsed), kPlotSlots);
        if (!plotHost->askYesNo(parent, question, getResString(kStrFzWarning)))
            return 1;
        // Destroying it empties the slot through removePlotWindow.
        FuzzyPlotWindow* old = plotSlots[0];
        old->destroy();
        if (plotSlots[0] == old)
            removePlotWindow(old);
        slot = 0;
    }
    FuzzyPlotWindow* window = plotHost->createPlotWindow(parent, 10 * slot, 10 * slot, 400, 400,
                                                         plotTitle(slot, kStrFzPlotActive));
    if (!window)
        return 1;
    plotSlots[slot] = window;
    gActivePlot = window;
    plotHost->windowMenuChanged();
    return 0;
}

void FuzzyOptions::removePlotWindow(FuzzyPlotWindow* window)
{
    if (gActivePlot == window)
        gActivePlot = nullptr;
    int slot = slotOf(window);
    if (slot >= 0)
        plotSlots[slot] = nullptr;
    if (plotHost)
        plotHost->windowMenuChanged();
}

void FuzzyOptions::freezePlotWindow(FuzzyPlotWindow* window)
{
    // Only the window that asked, and only while it takes the curves.
    int slot = slotOf(window);
    if (slot < 0 || window != gActivePlot)
        return;
    window->setTitle(plotTitle(slot, kStrFzPlotFrozen));
    window->showFrozen();
    gActivePlot = nullptr;
    if (plotHost)
        plotHost->windowMenuChanged();
}

int FuzzyOptions::bringPlotWindowToFront(unsigned int command)
{
    FuzzyPlotWindow* window = nullptr;
    if (command == kActivePlotCommand)
        window = gActivePlot;
    else if (command >= kFirstPlotCommand && command < kFirstPlotCommand + kPlotSlots)
        window = plotSlots[command - kFirstPlotCommand];
    if (window) {
        window->bringToFront();
        return 1;
    }
    if (plotHost && plotHost->surfaceToFront())
        return 1;
    reportError(2, "%s", getResString(kStrFzNoActivePlot));
    return 0;
}

void FuzzyOptions::beginPlotUpdate(int keep)
{
    plotUpdating = 1;
    plotKeep = keep ? 1 : 0;
    if (gActivePlot)
        gActivePlot->enableCurveCommands(false);
}

void FuzzyOptions::endPlotUpdate(int clear)
{
    if (clear)
        plotKeep = 0;
    if (gActivePlot)
        gActivePlot->enableCurveCommands(true);
    if (!plotKeep)
        plotUpdating = 0;
}

void FuzzyOptions::closePlotWindows()
{
    for (int i = 0; i < kPlotSlots; ++i)
        if (FuzzyPlotWindow* window = plotSlots[i]) {
            window->destroy();
            if (plotSlots[i] == window)
                removePlotWindow(window);
        }
}

ListingStyle fuzzyListingStyle()
{
    ListingStyle style;
    style.linesBefore = 50;
    style.linesAfter = 10;
    style.highlightBehindNumber = true;
    style.cannotOpen = "Cannot open file %s!";
    style.readError = "A read error has occured!";
    style.tooLong = " File is too long to view!";
    return style;
}
