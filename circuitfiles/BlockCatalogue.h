// The view of the workspace's block-library catalogue that the select-block
// dialog, the insert menu and the editing pane's commands share: library,
// group and block lines (hidden blocks are not offered), a block line turned
// back into a block position and file, and the tree of the insert menu's
// "Block" submenu with its command ids.
#ifndef KYT_CIRCUITFILES_BLOCKCATALOGUE_H
#define KYT_CIRCUITFILES_BLOCKCATALOGUE_H

#include "ADArray.h"
#include "LibraryRecords.h"
#include "String.h"

#include <vector>

class BlockCatalogue {
public:
    BlockCatalogue(ADArray<BlockLibrary>& libraries, int libraryCount)
        : libs(libraries), count(libraryCount)
    {
    }

    int libraryCount() const { return count; }
    // An index outside the catalogue gives an empty text, a count of 0 and
    // empty lists: the arrays are never grown by a look-up.
    int groupCount(int library) const;
    int blockCount(int library, int group) const;
    String libraryName(int library) const;
    String groupName(int library, int group) const;
    String blockName(int library, int group, int position) const;
    bool isHidden(int library, int group, int position) const;

    std::vector<String> libraryNames() const;
    std::vector<String> groupNames(int library) const;
    // The names of the blocks that are not hidden, in library order.
    std::vector<String> visibleBlockNames(int library, int group) const;
    // The position of the line-th visible block of the group; -1 when the
    // group has no such line.
    int blockPosition(int library, int group, int line) const;
    // The library's directory, "\" and the block's file name; the file name
    // part is empty when the position is not below the group's count.
    String blockFilePath(int library, int group, int position) const;
    // The library's index file, directory + "\ablocks.bfl" in lower case.
    String indexFilePath(int library) const;
    // The group line to select after a change to library: the group index
    // when the new library has that many groups, else 0.
    int groupLineFor(int library, int groupIndex) const;

private:
    BlockLibrary* library(int i) const;
    LibrarySection* section(int library, int group) const;

    ADArray<BlockLibrary>& libs;
    int count;
};

// The first command id of the insert menu's "Block" submenu.
const int kFirstInsertMenuId = 15000;

// One node of the insert menu's tree: a submenu (library, group, or the root)
// or a block item.
class InsertMenuNode {
public:
    enum { kBlockItem = 0, kSubmenu = 1 };
    InsertMenuNode(int kind, int id, const String& title) : kind(kind), id(id), title(title) {}
    virtual ~InsertMenuNode();

    int kind;
    int id;
    String title;
    int libraryIndex = -1;
    int groupIndex = -1;
    int blockIndex = -1;
    // Owned.
    std::vector<InsertMenuNode*> children;

private:
    InsertMenuNode(const InsertMenuNode&) = delete;
    InsertMenuNode& operator=(const InsertMenuNode&) = delete;
};

// The tree, one id per node in creation order (submenus included): the
// root, then per library its node, per group its node and its visible
// blocks.
class InsertMenuTree {
public:
    explicit InsertMenuTree(const BlockCatalogue& catalogue);
    ~InsertMenuTree() { delete root; }

    const InsertMenuNode& top() const { return *root; }
    int lastId() const { return nextId - 1; }
    // The block item with the id; null for a submenu's id or any other id
    // (an id that is no block item is no error).
    const InsertMenuNode* blockItem(int id) const;

private:
    InsertMenuNode* root;
    int nextId;

    InsertMenuTree(const InsertMenuTree&) = delete;
    InsertMenuTree& operator=(const InsertMenuTree&) = delete;
};

#endif
