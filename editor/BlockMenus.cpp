#include "BlockMenus.h"

#include "BlockObject.h"
#include "ResString.h"
#include "Window.h"

const char kEditLocalBlockText[] = "&Bearbeiten ...";

namespace {

ADArray<BlockLibrary>& catalogueOrEmpty(ADArray<BlockLibrary>* catalogue)
{
    static ADArray<BlockLibrary> none;
    return catalogue ? *catalogue : none;
}

} // namespace

InsertPopupMenu::InsertPopupMenu(const Point& point, WindowCL* window, ADArray<BlockLibrary>* catalogue, int libraryCount)
    : PopupMenu(point.x(), point.y(), window, ResourceId(static_cast<unsigned>(kInsertMenuResource))),
      view(catalogueOrEmpty(catalogue), catalogue ? libraryCount : 0), tree(view)
{
    Menu* root = buildSubmenu(tree.top());
    if (hmenu)
        insertPopup(root, tree.top().title.text(), 0);
    if (window && window->isWindow())
        DrawMenuBar(window->hwnd);
}

InsertPopupMenu::~InsertPopupMenu()
{
    // The handles belong to the pop-up menu, which destroys them with its own.
    for (Menu* m : submenus)
        delete m;
}

Menu* InsertPopupMenu::buildSubmenu(const InsertMenuNode& node)
{
    Menu* menu = new Menu();
    submenus.push_back(menu);
    for (const InsertMenuNode* child : node.children) {
        if (child->kind == InsertMenuNode::kBlockItem)
            menu->appendItem(static_cast<UINT>(child->id), child->title.text());
        else
            menu->appendPopup(buildSubmenu(*child), child->title.text());
    }
    return menu;
}

String InsertPopupMenu::blockFilePath(int id) const
{
    const InsertMenuNode* item = tree.blockItem(id);
    return item ? view.blockFilePath(item->libraryIndex, item->groupIndex, item->blockIndex) : String();
}

String InsertPopupMenu::libraryName(int id) const
{
    const InsertMenuNode* item = tree.blockItem(id);
    return item ? view.libraryName(item->libraryIndex) : String();
}

int InsertPopupMenu::libraryIndex(int id) const
{
    const InsertMenuNode* item = tree.blockItem(id);
    return item ? item->libraryIndex : -1;
}

int InsertPopupMenu::groupIndex(int id) const
{
    const InsertMenuNode* item = tree.blockItem(id);
    return item ? item->groupIndex : -1;
}

BlockContextMenu::BlockContextMenu(const Point& point, WindowCL* window, const BlockObject& block)
    : PopupMenu(point.x(), point.y(), window, ResourceId(static_cast<unsigned>(kBlockMenuResource)))
{
    if (!hmenu)
        return;
    // A wizard block lives in library Local and is edited there.
    if (block.wizardFlag) {
        insertItemAt(3, kCommandEditBlock, kEditLocalBlockText);
    } else {
        insertItemAt(3, kCommandEditBlock, getResString(kResViewSource));
        insertItemAt(4, kCommandCopyToLocal, getResString(kResCopyToLocal));
    }
}
