// The records of a block library: its groups ("$" lines of the index file
// ablocks.bfl) and the blocks listed under them.
#ifndef KYT_FOUNDATION_LIBRARYRECORDS_H
#define KYT_FOUNDATION_LIBRARYRECORDS_H

#include "ADArray.h"
#include "String.h"

class LibrarySection {
public:
    LibrarySection();
    LibrarySection(const LibrarySection& s);
    LibrarySection& operator=(const LibrarySection& s);

    String getFirstName(int i);
    String getSecondName(int i);
    void setFirstName(int i, const String& s);
    void setSecondName(int i, const String& s);

    String name;
    ADArray<String> firstNames;   // block names
    ADArray<String> secondNames;  // block file names, parallel to firstNames
    ADArray<int> removed;         // non-zero: removed, not written back
    int count;
};

class BlockLibrary {
public:
    BlockLibrary();
    BlockLibrary(const BlockLibrary& b);
    BlockLibrary& operator=(const BlockLibrary& b);

    String getName() const { return name; }

    String name;
    String file;  // directory holding the library's ablocks.bfl
    ADArray<LibrarySection> sections;
    int sectionCount;
};

#endif
