// The main window's commands: one row per command id (or id range) with its
// handler, its menu text in menu 1102 and its accelerator in table 130. The
// main frame's command operation dispatches through it; the menu and
// accelerator resources are checked against it.
#ifndef KYT_APP_MAINCOMMANDTABLE_H
#define KYT_APP_MAINCOMMANDTABLE_H

#include <cstddef>

// What a command does; the main frame has one handler for each.
enum MainCommandHandler {
    MAIN_UNKNOWN = 0, // not a command of the main window: result 0
    MAIN_NEW_CIRCUIT,
    MAIN_OPEN,
    MAIN_SAVE,
    MAIN_SAVE_AS,
    MAIN_RECENT_FILE,
    MAIN_INSERT_CIRCUIT,
    MAIN_PRINT,
    MAIN_EXIT,
    MAIN_TOOL,
    MAIN_INSERT_MENU,
    MAIN_SIGNAL_NAMES,
    MAIN_UNDO,
    MAIN_CUT,
    MAIN_COPY,
    MAIN_PASTE,
    MAIN_DELETE,
    MAIN_DUPLICATE,
    MAIN_SAVE_FRAGMENT,
    MAIN_COPY_PICTURE,
    MAIN_STANDARD_SIZE,
    MAIN_ZOOM_IN,
    MAIN_ZOOM_OUT,
    MAIN_ZOOM_STANDARD,
    MAIN_DEFINE_STANDARD,
    MAIN_RESET_STANDARD,
    MAIN_DISPLAY_SWITCH,
    MAIN_START,
    MAIN_START_AT_ONCE,
    MAIN_STOP,
    MAIN_PLOT_TO_FRONT,
    MAIN_HELP,
    MAIN_ABOUT
};

// Virtual keys of the accelerators (the Windows values).
enum MainAcceleratorKey {
    KEY_NONE = 0,
    KEY_F2 = 0x71,
    KEY_F3 = 0x72,
    KEY_F4 = 0x73,
    KEY_F5 = 0x74,
    KEY_F7 = 0x76,
    KEY_F8 = 0x77,
    KEY_F12 = 0x7B
};

struct MainCommandRow {
    int firstId;
    int lastId;
    MainCommandHandler handler;
    // The menu text: a string of the table for the entries of the File and
    // Window menus, which the workspace builds at run time; the entry's text
    // in menu 1102 (Windows-1252) for the others; neither for the recent
    // files and the plot windows.
    unsigned int menuString;
    const char* menuText;
    // The accelerator of table 130: a virtual key (a letter's code, or
    // KEY_F2 ...) and whether Ctrl goes with it; KEY_NONE for none.
    int key;
    bool ctrl;
};

// The rows, and their number.
const MainCommandRow* mainCommandRows();
size_t mainCommandRowCount();

// The row of a command id; null for ids the main window does not know
// (9032 is no row: the deferred messages take it before the table).
const MainCommandRow* findMainCommand(int id);

#endif
