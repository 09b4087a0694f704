// The file names of the main window's file commands from the common file
// dialogs (GetOpenFileName, GetSaveFileName), owned by the main frame.
#ifndef KYT_APP_COMMONFILECHOOSER_H
#define KYT_APP_COMMONFILECHOOSER_H

#include "FileNameChooser.h"

class WindowCL;

class CommonFileChooser : public FileNameChooser {
public:
    explicit CommonFileChooser(WindowCL* owner) : owner(owner) {}
    bool chooseFileName(const FileDialogRow& dialog, const std::string& initialName, std::string& chosen) override;

private:
    WindowCL* owner;
};

#endif
