#include "LibraryRecords.h"

LibrarySection::LibrarySection() : firstNames(1), secondNames(1), removed(1), count(0) {}

LibrarySection::LibrarySection(const LibrarySection& s) : firstNames(1), secondNames(1), removed(1), count(0)
{
    *this = s;
}

LibrarySection& LibrarySection::operator=(const LibrarySection& s)
{
    if (this == &s)
        return *this;
    LibrarySection& src = const_cast<LibrarySection&>(s);
    name = s.name;
    count = s.count;
    int n = static_cast<int>(src.firstNames.GetSize());
    for (int i = 0; i < n; ++i)
        firstNames.ElementAt(i) = src.firstNames.ElementAt(i);
    int m = static_cast<int>(src.secondNames.GetSize());
    for (int i = 0; i < m; ++i)
        secondNames.ElementAt(i) = src.secondNames.ElementAt(i);
    // The removed flags follow the block names, one per name.
    for (int i = 0; i < n; ++i)
        removed.ElementAt(i) = src.removed.ElementAt(i);
    return *this;
}

String LibrarySection::getFirstName(int i)
{
    if (i < 0 || i >= count)
        return String();
    return firstNames.ElementAt(i);
}

String LibrarySection::getSecondName(int i)
{
    if (i < 0 || i >= count)
        return String();
    return secondNames.ElementAt(i);
}

void LibrarySection::setFirstName(int i, const String& s)
{
    firstNames.ElementAt(i) = s;
}

void LibrarySection::setSecondName(int i, const String& s)
{
    secondNames.ElementAt(i) = s;
}

BlockLibrary::BlockLibrary() : sections(1), sectionCount(0) {}

BlockLibrary::BlockLibrary(const BlockLibrary& b) : sections(1), sectionCount(0)
{
    *this = b;
}

BlockLibrary& BlockLibrary::operator=(const BlockLibrary& b)
{
    if (this == &b)
        return *this;
    BlockLibrary& src = const_cast<BlockLibrary&>(b);
    name = b.name;
    file = b.file;
    sectionCount = b.sectionCount;
    int n = static_cast<int>(src.sections.GetSize());
    for (int i = 0; i < n; ++i)
        sections.ElementAt(i) = src.sections.ElementAt(i);
    return *this;
}
