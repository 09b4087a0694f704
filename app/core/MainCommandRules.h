// The decisions of the main window's commands that need no window: the grid
// steps, the display switches, which way Save goes, the file dialogs of the
// file commands, the name proposed for a fragment and the tools' cursors.
#ifndef KYT_APP_MAINCOMMANDRULES_H
#define KYT_APP_MAINCOMMANDRULES_H

#include <string>

// ---------------------------------------------------------------- grid

struct GridStep {
    // The step is refused (message 11) and the grid stays.
    bool refused;
    int width;
    int height;
};

// 9005: one larger each way.
GridStep zoomIn(int width, int height);
// 9006: one smaller each way, only while both stay at least 1.
GridStep zoomOut(int width, int height);

// ---------------------------------------------------------------- display switches

// The workspace's three display flags (menu entries 4009, 4011, 4012, each
// checked while its flag is set).
struct DisplayFlags {
    int gridOff;
    int showSignalNames;
    int hideLines;
};

// 4009 and 4011 toggle their flag. 4012 clears the hide flag when it is set;
// otherwise it sets it and switches the signal names on too, since hidden
// lines leave only the names to show what is connected. Other commands
// change nothing.
DisplayFlags toggleDisplay(int command, DisplayFlags flags);
// Whether menu entry command (4009, 4011, 4012) is checked.
bool displayChecked(int command, const DisplayFlags& flags);

// ---------------------------------------------------------------- saving

enum SaveRoute {
    SAVE_NOTHING = 0, // the pane is empty: message 13
    SAVE_IN_PLACE = 1, // under the circuit's name
    SAVE_ASK_NAME = 2  // through the save dialog
};

// 112 and 141 (and 18021, which always asks). named: the circuit has a
// name of its own, not "(unbenannt)" (string 19107); an unnamed circuit is
// saved as Save as saves.
SaveRoute saveRoute(int command, bool paneEmpty, bool named);

// Whether Save as asks 19010 before it writes chosen: only onto another,
// existing file. A fragment (18021) asks for every existing file.
bool asksBeforeReplacing(int command, const std::string& chosen, const std::string& circuitName, bool chosenExists);

// The file dialog of a file command: title, the single filter's text and
// pattern, the extension a chosen name gets when it has none, and whether
// it saves. Null for other commands.
struct FileDialogRow {
    int command;
    unsigned int title;
    unsigned int filterText;
    const char* pattern;
    const char* extension;
    bool save;
};
const FileDialogRow* fileDialogOf(int command);

// The chosen name completed with the command's extension.
std::string withCommandExtension(int command, const std::string& chosen);

// 18021: the file part of the circuit's name, a ".kyt" at its end (in any
// case) becoming ".kyf".
std::string proposeFragmentName(const std::string& circuitFilePart);

// ---------------------------------------------------------------- tools

// The pane's cursor resource of a tool (1267, 1268, 1269); 0 for others.
int toolCursor(int tool);

#endif
