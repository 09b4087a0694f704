// The About box: the program's picture with the version line and the
// credit lines over it, "OK" and two credit buttons that each show a
// picture. Built in code; runs modally in its constructor.
#ifndef KYT_EDITOR_ABOUTDIALOG_H
#define KYT_EDITOR_ABOUTDIALOG_H

#include "Dialog.h"
#include "Pane.h"
#include "strings/CircuitStrings.h"

#include <string>
#include <vector>

const int kAboutBitmap = 9000;
const int kCreditBitmap1 = 9051;
const int kCreditBitmap2 = 9052;
const unsigned int kResFirstCredit = kStrAboutCredit1;
const unsigned int kResCreditButton1 = kStrAboutCreditButton1;
const unsigned int kResCreditButton2 = kStrAboutCreditButton2;
const int kCreditButton1 = 4101;
const int kCreditButton2 = 4102;

// The version line: "Rev -- -- ", this build's date and time and " 64 bit".
std::string aboutVersionLine();

// A pane that copies a bitmap (owned) to its client area, from the bitmap's
// row firstRow on; the About box's text pane draws its lines over it.
class BitmapPaneCL : public PaneWindowCL {
public:
    BitmapPaneCL(WindowCL* parent, Geometry* geometry, HBITMAP bitmap, int firstRow);
    ~BitmapPaneCL() override;
    LRESULT paint(DeviceContext& dc) override;
    LRESULT onCommand(EventRecord* event) override;

protected:
    HBITMAP picture;
    int firstRow;
};

// The text pane: the picture and the version and credit lines; the lines
// it drew last are kept.
class AboutTextPaneCL : public BitmapPaneCL {
public:
    AboutTextPaneCL(WindowCL* parent, Geometry* geometry, HBITMAP bitmap, int firstRow, int pictureWidth);
    LRESULT paint(DeviceContext& dc) override;
    std::vector<std::string> drawnLines;

private:
    int pictureWidth;
};

class AboutDialog : public DialogFrameCL {
public:
    // title: the caption ("Info" unless the program gives its own).
    explicit AboutDialog(WindowCL* parent, const char* title = "Info");
    LRESULT onCommand(EventRecord* event) override;

    BitmapPaneCL* picturePane;
    AboutTextPaneCL* textPane;
    int pictureWidth;
    int pictureHeight;

private:
    void showCredit(int bitmap);
};

#endif
