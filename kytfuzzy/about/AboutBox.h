// The About box of the companion programs: a picture with the build line
// and credit lines drawn over it, an OK button and, on displays of at least
// 16 bits per pixel, three credit buttons that each open a small window
// with a picture. Built in code, without a dialog template.
#ifndef KYT_KYTFUZZY_ABOUTBOX_H
#define KYT_KYTFUZZY_ABOUTBOX_H

#include "Dialog.h"
#include "Pane.h"

class Bitmap;
class ButtonCL;
class DeviceMetrics;
class PictureDialog;

// What a program shows in its box.
struct AboutContent {
    unsigned int picture;
    // String-table ids of the nine credit lines.
    unsigned int creditLines[9];
    // Left, centre and right credit button: id (also the picture's
    // resource), button text and the picture window's title.
    struct Credit {
        int id;
        const char* text;
        const char* title;
    } credits[3];
};

// kytfuzzy's box.
const AboutContent& fuzzyAboutContent();

// The colour depth comes from this device when set (tests inject 8 bits);
// null: a pane's context on the screen.
void setAboutDeviceMetrics(const DeviceMetrics* metrics);
// Called with the box after it is built and before its modal run.
typedef void (*AboutDialogHook)(DialogFrameCL* dialog);
void setAboutDialogHook(AboutDialogHook hook);
// Live objects of the box's four classes, each destroyed exactly once.
int aboutLiveObjects();

class AboutPane : public PaneWindowCL {
public:
    AboutPane(WindowCL* parent, const AboutContent& content);
    ~AboutPane() override;
    LRESULT onCommand(EventRecord* event) override;
    LRESULT paint(DeviceContext& dc) override;
    Bitmap* picture() const { return bitmap; }

private:
    const AboutContent& content;
    Bitmap* bitmap;
};

class AboutDialog : public DialogFrameCL {
public:
    // Builds the box centred over the parent, shows it and runs it modally.
    AboutDialog(WindowCL* parent, const AboutContent& content, const char* title, DWORD style);
    ~AboutDialog() override;
    LRESULT onCommand(EventRecord* event) override;

    AboutPane* pane() const { return contentPane; }
    ButtonCL* creditButton(int place) const { return credits[place]; }
    PictureDialog* pictureWindow(int place) const { return pictures[place]; }
    ButtonCL* okButton() const { return ok; }

private:
    void openPicture(int place);

    const AboutContent& content;
    AboutPane* contentPane;
    PictureDialog* pictures[3] = {};
    ButtonCL* ok = nullptr;
    ButtonCL* credits[3] = {};
};

class PicturePane : public PaneWindowCL {
public:
    PicturePane(WindowCL* parent, unsigned int picture);
    ~PicturePane() override;
    LRESULT onCommand(EventRecord* event) override;
    LRESULT paint(DeviceContext& dc) override;
    Bitmap* picture() const { return bitmap; }

private:
    Bitmap* bitmap;
};

class PictureDialog : public DialogFrameCL {
public:
    // Placed beside the box (place 0 left, 1 centre, 2 right), shown
    // modeless, deleted when closed; *slot refers to it while it lives.
    PictureDialog(AboutDialog* about, int place, const char* title, unsigned int picture, PictureDialog** slot,
                  ButtonCL* button);
    ~PictureDialog() override;
    LRESULT onClose(EventRecord* event) override;

private:
    PicturePane* pane;
    PictureDialog** slot;
    ButtonCL* button;
};

#endif
