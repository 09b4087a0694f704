// Reader of a block library's index file ablocks.bfl:
//
//   $Standard          a line whose first token begins with "$" opens a group
//   pt1,pt1.blk        block name, block file name
//   pi,pi.blk
//
// Lines are cut into tokens at commas. Entry lines before the first group,
// blank lines and lines without a block file are passed over.
#ifndef KYT_FOUNDATION_LIBRARYINDEX_H
#define KYT_FOUNDATION_LIBRARYINDEX_H

#include "ADArray.h"
#include "LibraryRecords.h"

#include <cstddef>
#include <cstdio>

// Name of the index file in every library directory.
extern const char kLibraryIndexFile[];  // "ablocks.bfl"

// What an index can sensibly hold: a line is a block name and a file name,
// far below 4096 bytes; a library of many thousand blocks is well below
// 4 MB. Reading stops at a longer line or beyond that size (a device such as
// /dev/zero, a wrong file).
const size_t kMaxIndexLine = 4096;
const size_t kMaxIndexFile = 4u << 20;

// Replaces the groups of library libraryIndex with those of the open index
// stream (opened in text mode and closed by the caller); its section count
// becomes the number of groups read. False when reading stopped at a limit:
// the groups read before it stay.
bool readSectionedFile(FILE* stream, int libraryIndex, ADArray<BlockLibrary>& libraries);

#endif
