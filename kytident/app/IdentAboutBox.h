// kytident's About box: its picture with the build line and the program's
// lines drawn over it, and an OK button. Modal: the constructor returns when
// the box has been closed.
#ifndef KYT_KYTIDENT_IDENTABOUTBOX_H
#define KYT_KYTIDENT_IDENTABOUTBOX_H

#include "Dialog.h"

#include <string>

class IdentAboutBox : public DialogFrameCL {
public:
    explicit IdentAboutBox(WindowCL* parent);
    ~IdentAboutBox() override;

    LRESULT onCommand(EventRecord* event) override;
    LRESULT onPaint(EventRecord* event);

private:
    HBITMAP picture;
    int pictureWidth;
    int pictureHeight;
};

// "Rev -- -- <date> <time> 32 bit", the build line of the About box.
std::string identBuildLine();

#endif
