// Paths and files as the rest of the program names them. Paths come from
// kyt.ini, from circuit files and from file dialogs in DOS form (drive
// letters, backslashes) or in Unix form; this layer joins and splits them on
// either separator and opens them whatever separator they use. The text mode
// of the run-time library ("rt", "wt") is mapped here: reading drops a
// carriage return that stands before a line feed, writing writes the
// system's own line ends.
#ifndef KYT_FOUNDATION_FILELAYER_H
#define KYT_FOUNDATION_FILELAYER_H

#include "String.h"

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

bool isPathSeparator(char c);

// dir, a separator and name. The separator is the kind dir already uses (a
// backslash unless dir holds only slashes); none is added when dir is empty
// or already ends with a separator.
String joinPath(const char* dir, const char* name);

// Directory and file name of a path, split at its last separator of either
// kind; without a separator the directory is empty and the file name is the
// whole path. Either output may be null.
void splitPath(const char* path, String* dir, String* file);

// A path that starts with a separator or with a drive letter and a colon.
bool isAbsolutePath(const char* path);

// path taken relative to baseDir: path itself when it is absolute, empty, or
// baseDir is empty; otherwise joinPath(baseDir, path), with the separators
// of path turned into the kind baseDir uses.
String resolvePath(const char* baseDir, const char* path);

// The DOS device NUL: "nul" in any case, with or without a directory
// ("C:\\KYT\\nul", "sub/Nul"), a drive ("C:nul") or a trailing colon.
bool namesNullDevice(const char* path);

// How a path reaches the operating system. A name of the device NUL
// (namesNullDevice) becomes the null device whatever the mapper. Other
// paths go through the mapper: the native one turns backslashes into
// slashes and matches a path that does not exist as written component by
// component without case, as Wine does; a Windows program installs one that
// asks Wine for the Unix name of a DOS path. Null restores the native mapper.
typedef String (*PathMapper)(const char* path);
void setPathMapper(PathMapper mapper);
String mapPath(const char* path);

// fopen with the run-time library's modes ("r", "w", "a", with "+", "t" or
// "b"). Without "b" a file is in text mode: read-only text streams drop a
// carriage return before a line feed (a lone one stays); written text has
// plain line feeds. Opening for reading refuses a directory. Null on failure.
FILE* openFile(const char* path, const char* mode);

// One whole line of any length, without its line feed; false at the end of
// the file when nothing was read. The text ends at a NUL byte in the line:
// readers that must see every byte use readBoundedLine.
bool readLine(FILE* stream, String& line);

// One line, every byte of it (a NUL byte too), without its line feed, of at
// most maxLength bytes. A longer line is LINE_TOO_LONG: line then holds its
// first maxLength bytes and the stream stands behind them, so that an
// endless line (a device, a broken file) costs no more than the limit.
enum LineReadResult { LINE_AT_END, LINE_READ, LINE_TOO_LONG };
LineReadResult readBoundedLine(FILE* stream, std::string& line, size_t maxLength);

// Replaces the file at path only by a complete new copy: write fills a
// temporary file beside it (path + ".new", opened with mode, "wt" or "wb")
// and returns false when one of its writes failed; the copy is renamed over
// path only when every write, the stream's error flag and the close were
// good. On failure the file at path is untouched and no temporary file is
// left. The new copy of an existing file keeps its permissions. Reports
// nothing; true when the file was replaced.
typedef std::function<bool(FILE* stream)> FileContentWriter;
bool writeFileChecked(const char* path, const char* mode, const FileContentWriter& write);

// The name of writeFileChecked's temporary file for path.
String checkedWriteTemporary(const char* path);

#endif
