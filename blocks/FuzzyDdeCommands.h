// The commands of the DDE topic "Fuzzy": an outside program loads, drives,
// changes and saves fuzzy blocks, each command the item of one request and
// each reply a text. The blocks share the FUZZY library's 100 slots.
#ifndef KYT_BLOCKS_FUZZYDDECOMMANDS_H
#define KYT_BLOCKS_FUZZYDDECOMMANDS_H

#include "FuzzyBlock.h"

#include <optional>
#include <string>

// Longest reply; longer dumps are cut.
const size_t kMaxFuzzyReply = 999;

// The reply to a request item; none ("no data") for an empty item, an
// unknown command, missing words and a handle that names no used slot.
std::optional<std::string> handleFuzzyCommand(const std::string& item);

// Writes the block back to the file at path, replacing that file only by a
// complete new copy. A wizard block keeps every line but the "#" lines after
// its wizard line, which are written anew; any other file is written whole
// as fuzzy-block text. 1 when written, 0 with the file unchanged.
int saveFuzzyBlockFile(const FuzzyBlock* block, const char* path);

#endif
