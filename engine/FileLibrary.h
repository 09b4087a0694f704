// The FILE library: a model reads data files line by line into columns.
// FOPEN(name) gives a handle, FREAD(handle) takes the next line, FGET(handle,
// column) its values (column 0 is the status: 0 good, 1 after an error or
// the end of the file), FCLOSE(handle) closes. The registry attaches it with
// FileModuleRegister (ModuleRegistry.h) after BASE.
//
// Data file: one record a line; words separated by blanks or tabs, each read
// as a number from its first character (what follows the number up to the
// next blank is ignored); a word beginning with "#" comments out the rest of
// the line; a line whose first word is a comment is skipped.
#ifndef KYT_ENGINE_FILELIBRARY_H
#define KYT_ENGINE_FILELIBRARY_H

// The line buffer: a line holds at most kDataLineBuffer - 1 characters.
const int kDataLineBuffer = 1024;

// Slots of the file table (open, closed or failed), for tests.
int fileSlotCount();

#endif
