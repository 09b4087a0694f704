#include "MainCommandRules.h"

#include "TextHelpers.h"
#include "strings/AppStrings.h"
#include "strings/CircuitStrings.h"

#include <cctype>

namespace {

const int kCommandSave = 112;
const int kCommandSaveAs = 141;
const int kCommandSaveFragment = 18021;
const int kCommandGridOff = 4009;
const int kCommandSignalNames = 4011;
const int kCommandHideLines = 4012;

// Title, filter text, pattern, extension: Open and Insert share the open
// dialog, Save and Save as the save dialog.
const FileDialogRow kFileDialogs[] = {
    {111, kStrChooseCircuit, kStrCircuitFilter, "*.kyt", "kyt", false},
    {1126, kStrChooseCircuit, kStrCircuitFilter, "*.kyt", "kyt", false},
    {kCommandSave, kStrSaveCircuitAs, kStrCircuitFilter, "*.kyt", "kyt", true},
    {kCommandSaveAs, kStrSaveCircuitAs, kStrCircuitFilter, "*.kyt", "kyt", true},
    {kCommandSaveFragment, kStrSaveFragmentAs, kStrFragmentFilter, "*.kyf", "kyf", true},
};

struct ToolCursor {
    int tool;
    int cursor;
};
const ToolCursor kToolCursors[] = {{1267, 122}, {1268, 121}, {1269, 1127}};

} // namespace

GridStep zoomIn(int width, int height)
{
    return GridStep{false, width + 1, height + 1};
}

GridStep zoomOut(int width, int height)
{
    if (width - 1 < 1 || height - 1 < 1)
        return GridStep{true, width, height};
    return GridStep{false, width - 1, height - 1};
}

DisplayFlags toggleDisplay(int command, DisplayFlags flags)
{
    switch (command) {
    case kCommandGridOff:
        flags.gridOff = !flags.gridOff;
        break;
    case kCommandSignalNames:
        flags.showSignalNames = !flags.showSignalNames;
        break;
    case kCommandHideLines:
        if (flags.hideLines) {
            flags.hideLines = 0;
        } else {
            flags.hideLines = 1;
            flags.showSignalNames = 1;
        }
        break;
    default:
        break;
    }
    return flags;
}

bool displayChecked(int command, const DisplayFlags& flags)
{
    switch (command) {
    case kCommandGridOff:
        return flags.gridOff != 0;
    case kCommandSignalNames:
        return flags.showSignalNames != 0;
    case kCommandHideLines:
        return flags.hideLines != 0;
    default:
        return false;
    }
}

SaveRoute saveRoute(int command, bool paneEmpty, bool named)
{
    if (paneEmpty)
        return SAVE_NOTHING;
    if (command == kCommandSave && named)
        return SAVE_IN_PLACE;
    return SAVE_ASK_NAME;
}

bool asksBeforeReplacing(int command, const std::string& chosen, const std::string& circuitName, bool chosenExists)
{
    if (!chosenExists)
        return false;
    if (command == kCommandSaveFragment)
        return true;
    return chosen != circuitName;
}

const FileDialogRow* fileDialogOf(int command)
{
    for (const FileDialogRow& row : kFileDialogs)
        if (row.command == command)
            return &row;
    return nullptr;
}

std::string withCommandExtension(int command, const std::string& chosen)
{
    const FileDialogRow* row = fileDialogOf(command);
    if (!row)
        return chosen;
    return setDefaultExtension(chosen.c_str(), row->extension).text();
}

std::string proposeFragmentName(const std::string& circuitFilePart)
{
    std::string name = circuitFilePart;
    if (name.size() > 3) {
        std::string tail = name.substr(name.size() - 4);
        for (char& c : tail)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        if (tail == ".kyt")
            name.replace(name.size() - 3, 3, "kyf");
    }
    return name;
}

int toolCursor(int tool)
{
    for (const ToolCursor& t : kToolCursors)
        if (t.tool == tool)
            return t.cursor;
    return 0;
}
