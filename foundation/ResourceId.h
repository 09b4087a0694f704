// Identifier of a string-table resource: its number, and optionally the
// library file or the module that holds it. Portable: the module is an opaque
// handle that only the Windows layer interprets.
#ifndef KYT_FOUNDATION_RESOURCEID_H
#define KYT_FOUNDATION_RESOURCEID_H

struct ResourceId {
    unsigned int id;
    const char* libraryFile;  // null: not from a library file
    void* module;             // null: no module of its own

    explicit ResourceId(unsigned int number, const char* library = nullptr, void* mod = nullptr)
        : id(number), libraryFile(library), module(mod) {}
};

// Fetches at most maxLen characters of the text of id into buf (which holds
// maxLen + 1 bytes) and returns the number of characters, 0 when there is no
// such text. The Windows programs install a loader that asks the module's
// string table; without one, the table compiled into the program answers.
typedef int (*ResourceStringLoader)(const ResourceId& id, char* buf, int maxLen);

void setResourceStringLoader(ResourceStringLoader loader);
ResourceStringLoader getResourceStringLoader();

#endif
