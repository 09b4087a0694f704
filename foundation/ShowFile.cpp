#include "ShowFile.h"

#include "FileLayer.h"

#include <cstdio>

namespace {

class StderrViewer : public FileViewer {
public:
    void showFile(const char* message, const char* path, int line) override
    {
        fprintf(stderr, "%s\n[%s, Zeile %d]\n", message, path, line);
    }
};

StderrViewer defaultViewer;
FileViewer* currentViewer = &defaultViewer;
TempDirSource tempDirSource = nullptr;

} // namespace

void setFileViewer(FileViewer* viewer)
{
    currentViewer = viewer ? viewer : &defaultViewer;
}

FileViewer* getFileViewer()
{
    return currentViewer;
}

void setTempDirSource(TempDirSource source)
{
    tempDirSource = source;
}

const char* getTempDir()
{
    const char* dir = tempDirSource ? tempDirSource() : nullptr;
    return dir ? dir : "";
}

String fileAtLinePath(const char* fileName, int absolute)
{
    if (absolute)
        return String(fileName);
    return joinPath(getTempDir(), fileName ? fileName : "");
}

void showFileAtLine(const char* message, const char* fileName, int line, int absolute)
{
    String path = fileAtLinePath(fileName, absolute);
    currentViewer->showFile(message ? message : "", path.text(), line);
}
