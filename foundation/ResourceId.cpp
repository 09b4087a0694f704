#include "ResourceId.h"

#include "CheckedHeap.h"

#include <cstdlib>
#include <cstring>

// The old convention passed -1 for "no library".
const char* const ResourceId::kNoLibrary = reinterpret_cast<const char*>(static_cast<intptr_t>(-1));

char* ResourceId::copyName(const char* name)
{
    if (!name)
        return nullptr;
    size_t n = strlen(name) + 1;
    char* copy = static_cast<char*>(CheckedAlloc(n));
    memcpy(copy, name, n);
    return copy;
}

ResourceId::ResourceId(const char* name, const char* library)
    : nameText(copyName(name)), id(0), libraryFile(libraryOf(library)), ownsName(name != nullptr), module(nullptr)
{
}

ResourceId::ResourceId(const char* name, void* mod)
    : nameText(copyName(name)), id(0), libraryFile(nullptr), ownsName(name != nullptr), module(mod)
{
}

ResourceId::ResourceId(const ResourceId& r)
    : nameText(r.ownsName ? copyName(r.nameText) : r.nameText), id(r.id), libraryFile(r.libraryFile),
      ownsName(r.ownsName), module(r.module)
{
}

ResourceId& ResourceId::operator=(const ResourceId& r)
{
    if (this == &r)
        return *this;
    char* name = r.ownsName ? copyName(r.nameText) : r.nameText;
    if (ownsName)
        free(nameText);
    nameText = name;
    id = r.id;
    libraryFile = r.libraryFile;
    ownsName = r.ownsName;
    module = r.module;
    return *this;
}

ResourceId::~ResourceId()
{
    if (ownsName)
        free(nameText);
}
