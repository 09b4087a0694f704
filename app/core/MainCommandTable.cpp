#include "MainCommandTable.h"
#include "strings/WorkspaceStrings.h"

namespace {

// The File and Window menus are the workspace's, built from the string table
// at run time. The keys shown for 2000-2002, 149 and 1270 (Ctrl+X, Ctrl+C,
// Ctrl+V, Del, Ins) are no accelerators: the editing pane handles those keys
// itself.
const MainCommandRow kRows[] = {
    {9003, 9003, MAIN_NEW_CIRCUIT, kStrMenuNewCircuit, nullptr, 'N', true},
    {111, 111, MAIN_OPEN, kStrMenuOpenCircuit, nullptr, 'O', true},
    {112, 112, MAIN_SAVE, kStrMenuSaveCircuit, nullptr, 'S', true},
    {141, 141, MAIN_SAVE_AS, kStrMenuSaveCircuitAs, nullptr, KEY_F12, false},
    {1101, 1101, MAIN_RECENT_FILE, 0, nullptr, KEY_NONE, false},
    {2102, 2104, MAIN_RECENT_FILE, 0, nullptr, KEY_NONE, false},
    {1105, 1105, MAIN_RECENT_FILE, 0, nullptr, KEY_NONE, false},
    {1126, 1126, MAIN_INSERT_CIRCUIT, kStrMenuInsertCircuit, nullptr, KEY_NONE, false},
    {9001, 9001, MAIN_PRINT, kStrMenuPrint, nullptr, 'P', true},
    {4017, 4017, MAIN_EXIT, kStrMenuExit, nullptr, KEY_NONE, false},
    {1267, 1267, MAIN_TOOL, 0, "Schaltung &bearbeiten - Werkzeug\tF2", KEY_F2, false},
    {1268, 1268, MAIN_TOOL, 0, "Lösche &Objekte - Werkzeug\tF3", KEY_F3, false},
    {1269, 1269, MAIN_TOOL, 0, "Wechsle &Verbindungen - Werkzeug\tF4", KEY_F4, false},
    {1270, 1270, MAIN_INSERT_MENU, 0, "Blöcke einfü&gen\tIns", KEY_NONE, false},
    {4010, 4010, MAIN_SIGNAL_NAMES, 0, "&Signalnamen bearbeiten ...\tCtrl+I", 'I', true},
    {1118, 1118, MAIN_UNDO, 0, "&Rückgängig: Löschen\tCtrl+Z", 'Z', true},
    {2000, 2000, MAIN_CUT, 0, "A&usschneiden\tCtrl+X", KEY_NONE, false},
    {2001, 2001, MAIN_COPY, 0, "&Kopieren\tCtrl+C", KEY_NONE, false},
    {2002, 2002, MAIN_PASTE, 0, "E&infügen\tCtrl+V", KEY_NONE, false},
    {149, 149, MAIN_DELETE, 0, "&Löschen\tDel", KEY_NONE, false},
    {1100, 1100, MAIN_DUPLICATE, 0, "&Duplizieren\tCtrl+D", 'D', true},
    {18021, 18021, MAIN_SAVE_FRAGMENT, 0, "&Fragment speichern als ...", KEY_NONE, false},
    {160, 160, MAIN_COPY_PICTURE, 0, "In die &Zwischenablage kopieren", KEY_NONE, false},
    {138, 138, MAIN_STANDARD_SIZE, 0, "Standardabmessungen für &markierte Blöcke", KEY_NONE, false},
    {9005, 9005, MAIN_ZOOM_IN, 0, "&Größer\tF8", KEY_F8, false},
    {9006, 9006, MAIN_ZOOM_OUT, 0, "&Kleiner\tF7", KEY_F7, false},
    {9007, 9007, MAIN_ZOOM_STANDARD, 0, "&Standard 1:1\tF5", KEY_F5, false},
    {143, 143, MAIN_DEFINE_STANDARD, 0, "&Definiere aktuellen Grid als 1:1", KEY_NONE, false},
    {144, 144, MAIN_RESET_STANDARD, 0, "S&etze Standardwert für 1:1", KEY_NONE, false},
    {4009, 4009, MAIN_DISPLAY_SWITCH, 0, "&Raster nicht aktiv", KEY_NONE, false},
    {4011, 4011, MAIN_DISPLAY_SWITCH, 0, "Zeige &Signalnamen an Eingängen", KEY_NONE, false},
    {4012, 4012, MAIN_DISPLAY_SWITCH, 0, "&Verstecke Verbindungslinien", KEY_NONE, false},
    {9008, 9008, MAIN_START, 0, "&Start ...\tCtrl+G", 'G', true},
    {140, 140, MAIN_START_AT_ONCE, 0, "Starte so&fort\tCtrl+R", 'R', true},
    {9031, 9031, MAIN_STOP, 0, "St&op\tCtrl+B", 'B', true},
    {201, 209, MAIN_PLOT_TO_FRONT, 0, nullptr, KEY_NONE, false},
    {230, 230, MAIN_PLOT_TO_FRONT, kStrMenuActivePlotToFront, nullptr, 'T', true},
    {18010, 18010, MAIN_HELP, 0, "&Inhalt", KEY_NONE, false},
    {4019, 4019, MAIN_ABOUT, 0, "Inf&o ...", KEY_NONE, false},
};

} // namespace

const MainCommandRow* mainCommandRows()
{
    return kRows;
}

size_t mainCommandRowCount()
{
    return sizeof kRows / sizeof kRows[0];
}

const MainCommandRow* findMainCommand(int id)
{
    for (const MainCommandRow& row : kRows)
        if (id >= row.firstId && id <= row.lastId)
            return &row;
    return nullptr;
}
