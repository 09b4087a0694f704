// The editing pane's two pop-up menus over the catalogue and a block: the
// insert menu with its "Block" submenu of libraries, groups and blocks, and
// the block menu with the entry that differs for blocks of library Local.
#ifndef KYT_EDITOR_BLOCKMENUS_H
#define KYT_EDITOR_BLOCKMENUS_H

#include "ADArray.h"
#include "BlockCatalogue.h"
#include "LibraryRecords.h"
#include "Menu.h"
#include "strings/CircuitStrings.h"

#include <vector>

class BlockObject;

const int kInsertMenuResource = 170;
const int kBlockMenuResource = 109;
const int kCommandEditBlock = 172;
const int kCommandCopyToLocal = 18047;
const unsigned int kResViewSource = kStrViewSource;
const unsigned int kResCopyToLocal = kStrCopyToLocal;
// The block menu's text for a block of library Local (its string number
// holds another text in the table).
extern const char kEditLocalBlockText[];

// The insert menu (windows.h takes the name InsertMenu for a macro).
class InsertPopupMenu : public PopupMenu {
public:
    // The menu at the client point of the window, built whole.
    InsertPopupMenu(const Point& point, WindowCL* window, ADArray<BlockLibrary>* catalogue, int libraryCount);
    ~InsertPopupMenu() override;

    int lastId() const { return tree.lastId(); }
    // For a block item's id; an empty text or -1 for any other id.
    String blockFilePath(int id) const;
    String libraryName(int id) const;
    int libraryIndex(int id) const;
    int groupIndex(int id) const;
    const InsertMenuTree& nodes() const { return tree; }

private:
    Menu* buildSubmenu(const InsertMenuNode& node);

    BlockCatalogue view;
    InsertMenuTree tree;
    std::vector<Menu*> submenus;
};

class BlockContextMenu : public PopupMenu {
public:
    BlockContextMenu(const Point& point, WindowCL* window, const BlockObject& block);
};

#endif
