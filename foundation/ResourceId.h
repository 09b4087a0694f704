// Names a resource of the program or of a resource library: by number or by
// name text, optionally in a library file or a module of its own. Portable:
// the module is an opaque handle that only the Windows layer interprets.
#ifndef KYT_FOUNDATION_RESOURCEID_H
#define KYT_FOUNDATION_RESOURCEID_H

#include <cstdint>

class ResourceId {
public:
    // Library argument: no library at all. A null library means the
    // application's default resource library, which these programs leave
    // unset, so both load from the program itself.
    static const char* const kNoLibrary;

    explicit ResourceId(unsigned int number, const char* library = nullptr, void* mod = nullptr)
        : nameText(nullptr), id(number), libraryFile(libraryOf(library)), ownsName(false), module(mod) {}
    // By name; the name is copied.
    ResourceId(const char* name, const char* library);
    ResourceId(const char* name, void* mod);
    ResourceId(const ResourceId& r);
    ResourceId& operator=(const ResourceId& r);
    ~ResourceId();

    // What the resource functions take: the number as an integer resource
    // when it is non-zero, else the name text.
    const char* name() const
    {
        return id ? reinterpret_cast<const char*>(static_cast<uintptr_t>(id & 0xFFFFu)) : nameText;
    }
    bool isNumeric() const { return id != 0; }

    char* nameText;           // null when numeric
    unsigned int id;          // only the low 16 bits are used
    const char* libraryFile;  // null: none
    bool ownsName;
    void* module;             // null: none

private:
    static const char* libraryOf(const char* library) { return library == kNoLibrary ? nullptr : library; }
    static char* copyName(const char* name);
};

// Fetches at most maxLen characters of the text of id into buf (which holds
// maxLen + 1 bytes) and returns the number of characters, 0 when there is no
// such text. The Windows programs install a loader that asks the module's
// string table; without one, the table compiled into the program answers.
typedef int (*ResourceStringLoader)(const ResourceId& id, char* buf, int maxLen);

void setResourceStringLoader(ResourceStringLoader loader);
ResourceStringLoader getResourceStringLoader();

#endif
