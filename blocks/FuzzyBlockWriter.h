// Writer of the fuzzy-block text (*.kyb, and the "#" lines of a wizard block).
#ifndef KYT_BLOCKS_FUZZYBLOCKWRITER_H
#define KYT_BLOCKS_FUZZYBLOCKWRITER_H

#include "FuzzyBlock.h"

#include <cstdio>

// Writes the block as fuzzy-block text. Without a stream the text goes to
// fileName: it is written to a temporary file beside it that replaces the
// file only when every write and the close succeeded, so a failed write
// leaves the old file as it was. With a stream every line gets a "#" in front
// (the form embedded in a wizard block) and the stream stays open.
// ruleText, when given, stands for the rule lines of a block that has rules.
// Result 1 when everything was written, 0 otherwise.
int FuzzyBlockWrite(const FuzzyBlock* block, const char* fileName, const char* ruleText = nullptr,
                    FILE* stream = nullptr);

#endif
