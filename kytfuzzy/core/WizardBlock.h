// The fuzzy wizard's block: a model-language block whose head carries the
// fuzzy-block text as "#" lines, which FZINIT reads back at simulation time.
#ifndef KYT_KYTFUZZY_WIZARDBLOCK_H
#define KYT_KYTFUZZY_WIZARDBLOCK_H

#include "FuzzyKernel.h"

#include <ctime>
#include <string>

// The target: directory, a backslash and the file name, or the file name alone.
std::string wizardBlockPath(const char* fileName, const char* directory);

// Writes the wizard block of the kernel's block to the target; the old file
// is replaced only by a complete new one. date is the time written in the
// head. Result 1 written; 0 with the kernel's message text telling why.
int writeMdlBlock(FuzzyKernel* kernel, const char* currentFile, const char* blockName, const char* fileName,
                  const char* directory, const char* ruleText, std::time_t date);

#endif
