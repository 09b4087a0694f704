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

#include <cstdio>

// Name of the index file in every library directory.
extern const char kLibraryIndexFile[];  // "ablocks.bfl"

// Replaces the groups of library libraryIndex with those of the open index
// stream (opened in text mode and closed by the caller); its section count
// becomes the number of groups read.
void readSectionedFile(FILE* stream, int libraryIndex, ADArray<BlockLibrary>& libraries);

#endif
