// The identification block file: the document travels as "#" data lines
// behind the wizard line "$ WIZARD Ident", followed by the model-language
// block that calls the IDENT library.
#ifndef KYT_KYTIDENT_IDENTBLOCKFILE_H
#define KYT_KYTIDENT_IDENTBLOCKFILE_H

#include "IdentBlockData.h"
#include "IdentMessage.h"

#include <ctime>
#include <string>

enum IdentReadResult {
    IDENT_READ_OK,       // the document holds the file's data or the defaults
    IDENT_READ_DECLINED  // the user kept the file: nothing may be written
};

// Reads doc->blockPath() into doc. A missing file is a new block (the
// defaults). A file without wizard line asks 26982, damaged data 26983 (Yes:
// the defaults; No: declined); missing keys give notice 26984 and the
// defaults.
IdentReadResult readIdentBlock(IdentBlockData* doc, const IdentAsk& ask);

// The block file's text, with date as the time in its head.
std::string identBlockText(const IdentBlockData& doc, const std::string& date);

// Replaces the block file by a complete new one; false (the old file kept)
// when any write, the close or the rename failed.
bool writeIdentBlock(const IdentBlockData& doc, const std::string& date);

// "Www Mmm dd hh:mm:ss yyyy", the C library's time text without its line
// end, in English whatever the locale.
std::string identDateText(std::time_t date);

#endif
