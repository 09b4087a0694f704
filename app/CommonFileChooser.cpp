#include "CommonFileChooser.h"

#include "CommonDialogs.h"
#include "ResString.h"

#include <string>

bool CommonFileChooser::chooseFileName(const FileDialogRow& dialog, const std::string& initialName,
                                       std::string& chosen)
{
    // One filter: its text and its pattern.
    const std::string filterText = getResString(dialog.filterText);
    const char* const filters[] = {filterText.c_str(), dialog.pattern, nullptr};
    const std::string title = getResString(dialog.title);
    bool ok = false;
    if (dialog.save) {
        FileSaveDialog run(owner, title.c_str(), initialName.c_str(), filters);
        ok = run.ok != 0;
        if (ok)
            chosen = run.path;
    } else {
        FileOpenDialog run(owner, title.c_str(), initialName.c_str(), filters);
        ok = run.ok != 0;
        if (ok)
            chosen = run.path;
    }
    return ok && !chosen.empty();
}
