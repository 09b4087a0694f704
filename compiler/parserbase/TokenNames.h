// Names of the token codes that a small language's own token table leaves
// out, as every generated parser prints them in its syntax messages: the end
// of the input, the error token, control characters, printable characters
// and codes without a name. Each parser looks up its own table first and
// asks this function for every other code.
#ifndef KYT_COMPILER_TOKENNAMES_H
#define KYT_COMPILER_TOKENNAMES_H

#include <cstddef>

// Room a caller keeps for the formatted names ("Symbol %d", "char 0x%02X").
const size_t kTokenNameSize = 32;

// 0 "End of File", 8 "'\b'", 9 "'\t'", 10 "'\n'", 12 "'\f'", 13 "'\r'",
// 256 "Error"; any other printable character below 128 between an apostrophe
// and a grave accent ("'a`"); any other code from 256 "Symbol %d"; the rest
// "char 0x%02X". The fixed names are returned as they are; the formatted ones
// are written into buffer (size bytes) and buffer is returned.
const char* commonTokenName(int token, char* buffer, size_t size);

#endif
