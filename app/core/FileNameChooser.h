// Where the main window's file commands get their file names: the program
// asks the common file dialogs, tests put a stand-in in their place.
#ifndef KYT_APP_FILENAMECHOOSER_H
#define KYT_APP_FILENAMECHOOSER_H

#include "MainCommandRules.h"

#include <string>

class FileNameChooser {
public:
    virtual ~FileNameChooser() {}
    // Runs the dialog of a file command (its row of fileDialogOf: title and
    // filter as string ids, the pattern, open or save), starting at
    // initialName (may be empty). True with the chosen path in chosen;
    // false when the user cancelled.
    virtual bool chooseFileName(const FileDialogRow& dialog, const std::string& initialName, std::string& chosen) = 0;
};

#endif
