// Frame windows: top-level windows with a menu. The first frame constructed
// (dialogs included) is the application's main frame: accelerators go to it,
// the timers' pulse runs on it, and its destruction ends the program.
#ifndef KYT_FRAMEWORK_FRAME_H
#define KYT_FRAMEWORK_FRAME_H

#include "Window.h"

class FrameWindowCL : public WindowCL {
public:
    FrameWindowCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title);
    explicit FrameWindowCL(WindowCL* parent);
    // Deletes the attached menu, then what every window deletes.
    ~FrameWindowCL() override;

    void create() override;
    Menu* getMenu() override { return menu; }
    // The attached menu (owned); a menu attached before is deleted.
    void setAttachedMenu(Menu* m) override;

    // An accelerator table of this frame's own, tried first for messages to
    // the enabled frame or its children; 1 when it loaded.
    int loadAccelerators(const ResourceId& resource);

    Menu* menu;
    HACCEL accelerators;

private:
    void initFrame();
};

class AppFrameCL : public FrameWindowCL {
public:
    // Created at once; the first argument is not used.
    AppFrameCL(void* unused, Geometry* geometry, DWORD style, const char* title);

    WNDCLASSA* classInfo() override;
    void show(int cmd) override;
};

#endif
