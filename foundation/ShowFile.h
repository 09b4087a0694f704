// Showing a text file at a line, with a message above it. The programs plug
// in the modal, line-numbered listing viewer; tests plug in a recorder. The
// compiler message log, the reader of kyt.ini, the circuit reader and the
// symbol listing writer show their errors this way.
#ifndef KYT_FOUNDATION_SHOWFILE_H
#define KYT_FOUNDATION_SHOWFILE_H

#include "String.h"

class FileViewer {
public:
    virtual ~FileViewer() {}
    // Shows message above the file at path, scrolled to line; returns when
    // the user has closed the viewer.
    virtual void showFile(const char* message, const char* path, int line) = 0;
};

// The viewer in use; null restores the default one, which writes the
// message, the path and the line to standard error.
void setFileViewer(FileViewer* viewer);
FileViewer* getFileViewer();

// The temporary directory as the foundation sees it: the workspace's TEMPDIR
// once a workspace is installed, empty text before.
typedef const char* (*TempDirSource)();
void setTempDirSource(TempDirSource source);
const char* getTempDir();

// The path showFileAtLine shows: fileName as it is when absolute is non-zero,
// otherwise fileName in the temporary directory.
String fileAtLinePath(const char* fileName, int absolute);

// Shows message above the file at line and returns when the viewer is closed.
void showFileAtLine(const char* message, const char* fileName, int line, int absolute);

#endif
