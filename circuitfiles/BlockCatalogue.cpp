#include "BlockCatalogue.h"

#include "LibraryIndex.h"

BlockLibrary* BlockCatalogue::library(int i) const
{
    if (i < 0 || i >= count || static_cast<unsigned>(i) >= libs.GetSize())
        return nullptr;
    return &libs.ElementAt(i);
}

LibrarySection* BlockCatalogue::section(int lib, int group) const
{
    BlockLibrary* l = library(lib);
    if (!l || group < 0 || group >= l->sectionCount || static_cast<unsigned>(group) >= l->sections.GetSize())
        return nullptr;
    return &l->sections.ElementAt(group);
}

int BlockCatalogue::groupCount(int lib) const
{
    BlockLibrary* l = library(lib);
    return l ? l->sectionCount : 0;
}

int BlockCatalogue::blockCount(int lib, int group) const
{
    LibrarySection* s = section(lib, group);
    return s ? s->count : 0;
}

String BlockCatalogue::libraryName(int lib) const
{
    BlockLibrary* l = library(lib);
    return l ? l->name : String();
}

String BlockCatalogue::groupName(int lib, int group) const
{
    LibrarySection* s = section(lib, group);
    return s ? s->name : String();
}

String BlockCatalogue::blockName(int lib, int group, int position) const
{
    LibrarySection* s = section(lib, group);
    return s ? s->getFirstName(position) : String();
}

bool BlockCatalogue::isHidden(int lib, int group, int position) const
{
    LibrarySection* s = section(lib, group);
    if (!s || position < 0 || position >= s->count)
        return true;
    return static_cast<unsigned>(position) < s->removed.GetSize() && s->removed.ElementAt(position) != 0;
}

std::vector<String> BlockCatalogue::libraryNames() const
{
    std::vector<String> names;
    for (int i = 0; i < count; ++i)
        names.push_back(libraryName(i));
    return names;
}

std::vector<String> BlockCatalogue::groupNames(int lib) const
{
    std::vector<String> names;
    for (int g = 0; g < groupCount(lib); ++g)
        names.push_back(groupName(lib, g));
    return names;
}

std::vector<String> BlockCatalogue::visibleBlockNames(int lib, int group) const
{
    std::vector<String> names;
    for (int i = 0; i < blockCount(lib, group); ++i)
        if (!isHidden(lib, group, i))
            names.push_back(blockName(lib, group, i));
    return names;
}

int BlockCatalogue::blockPosition(int lib, int group, int line) const
{
    if (line < 0)
        return -1;
    for (int i = 0; i < blockCount(lib, group); ++i)
        if (!isHidden(lib, group, i) && line-- == 0)
            return i;
    return -1;
}

String BlockCatalogue::blockFilePath(int lib, int group, int position) const
{
    BlockLibrary* l = library(lib);
    String path = l ? l->file : String();
    path += "\\";
    LibrarySection* s = section(lib, group);
    if (s)
        path += s->getSecondName(position);
    return path;
}

String BlockCatalogue::indexFilePath(int lib) const
{
    BlockLibrary* l = library(lib);
    String path = l ? l->file : String();
    path += "\\";
    path += kLibraryIndexFile;
    path.toLower();
    return path;
}

int BlockCatalogue::groupLineFor(int lib, int groupIndex) const
{
    return groupIndex >= 0 && groupIndex < groupCount(lib) ? groupIndex : 0;
}

InsertMenuNode::~InsertMenuNode()
{
    for (InsertMenuNode* child : children)
        delete child;
}

InsertMenuTree::InsertMenuTree(const BlockCatalogue& catalogue) : root(nullptr), nextId(kFirstInsertMenuId)
{
    root = new InsertMenuNode(InsertMenuNode::kSubmenu, nextId++, "Block");
    for (int lib = 0; lib < catalogue.libraryCount(); ++lib) {
        InsertMenuNode* libraryNode = new InsertMenuNode(InsertMenuNode::kSubmenu, nextId++, catalogue.libraryName(lib));
        libraryNode->libraryIndex = lib;
        for (int group = 0; group < catalogue.groupCount(lib); ++group) {
            InsertMenuNode* groupNode =
                new InsertMenuNode(InsertMenuNode::kSubmenu, nextId++, catalogue.groupName(lib, group));
            groupNode->libraryIndex = lib;
            groupNode->groupIndex = group;
            for (int i = 0; i < catalogue.blockCount(lib, group); ++i) {
                if (catalogue.isHidden(lib, group, i))
                    continue;
                InsertMenuNode* item =
                    new InsertMenuNode(InsertMenuNode::kBlockItem, nextId++, catalogue.blockName(lib, group, i));
                item->libraryIndex = lib;
                item->groupIndex = group;
                item->blockIndex = i;
                groupNode->children.push_back(item);
            }
            libraryNode->children.push_back(groupNode);
        }
        root->children.push_back(libraryNode);
    }
}

const InsertMenuNode* InsertMenuTree::blockItem(int id) const
{
    for (const InsertMenuNode* libraryNode : root->children)
        for (const InsertMenuNode* groupNode : libraryNode->children)
            for (const InsertMenuNode* item : groupNode->children)
                if (item->kind == InsertMenuNode::kBlockItem && item->id == id)
                    return item;
    return nullptr;
}
