// Dialogs: frame windows that the framework builds itself from a dialog
// template, every item a framework control or an object of a registered
// factory. They run modeless, or modal through runModal (a nested message
// loop; modal runs nest). Field dialogs validate every enabled bound control
// on OK and store them only when all are valid.
#ifndef KYT_FRAMEWORK_DIALOG_H
#define KYT_FRAMEWORK_DIALOG_H

#include "Frame.h"
#include "ResourceId.h"

struct DialogTemplate;
class DialogFrameCL;
class Font;

// Makes the window object of a template item whose class it registered for.
typedef WindowCL* (*DialogItemFactoryFunction)(DialogFrameCL* dialog, Layout* geometry, int id, const char* text,
                                               DWORD style);
// Appends a factory for the Windows class name (matched exactly).
void registerDialogItemFactory(const char* className, DialogItemFactoryFunction factory);

class DialogFrameCL : public FrameWindowCL {
public:
    // From the template resource; a non-zero style replaces the upper 16
    // bits of the template's style. Without doNotCreate the window and its
    // items are made at once (hidden).
    DialogFrameCL(WindowCL* parent, const ResourceId& templateId, DWORD style = 0, int doNotCreate = 0);
    // Without template.
    DialogFrameCL(WindowCL* parent, Geometry* geometry, DWORD style, const char* title, int doNotCreate = 0);
    ~DialogFrameCL() override;

    // A template item of a class that nothing else knows; nothing by default.
    virtual WindowCL* createCustomItem(const char* className, const Point& position, const Point& size, int itemId);
    // Once, before the first show.
    virtual void initDialog();
    // Hides the dialog; ends its modal run and enables what the run disabled.
    virtual void endDialog();

    WNDCLASSA* classInfo() override;
    LRESULT onActivate(EventRecord* event) override;
    LRESULT onFocus(EventRecord* event) override;
    void show(int cmd) override;
    void create() override;

    // Runs the dialog modally until endDialog; an auto-delete dialog is
    // deleted as the last step. Returns the nested loop's code.
    int runModal();
    bool isModal() const { return modal != 0; }

    // The dispatch of the dialog window procedure.
    LRESULT dispatchDialog(EventRecord* event);

    int itemCount;
    ResourceId menuId;
    bool hasMenu;
    Font* font;
    int modal;
    int defaultId;
    HWND savedFocus;
    uint32_t exStyle;

protected:
    void createItems();

private:
    void initDialogFrame();
    void loadTemplate(const ResourceId& templateId, DWORD styleArgument);
    // The first enabled tab stop among the children, else the first child.
    HWND firstFocusChild() const;
    void focusNextTabStop(bool backwards);

    DialogTemplate* loaded;
    bool ended;
};

LRESULT CALLBACK DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The modal dialogs running now, innermost last.
int modalDialogDepth();

class FieldDialogCL : public DialogFrameCL {
public:
    // Created at once; the buttons with the ids IDOK and IDCANCEL get onOk
    // and onCancel as click handlers.
    FieldDialogCL(WindowCL* parent, const ResourceId& templateId, DWORD style = 0);

    // Validates every enabled field; at the first that fails it gets the
    // focus and nothing is stored. Then stores every enabled field.
    int validateAll();
    LRESULT onOk(EventRecord* event);
    LRESULT onCancel(EventRecord* event);
    // loadValue on every child, enabled or not.
    int loadAll();

    void* reserved;
    int accepted;
};

#endif
