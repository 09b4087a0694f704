#include "WorkspaceWin.h"

#include "Application.h"
#include "Menu.h"
#include "Window.h"

#include <windows.h>

void FrameMenuSink::enableCommand(int command, bool enabled)
{
    Menu* m = frame ? frame->getMenu() : nullptr;
    if (m)
        m->grayItem(static_cast<UINT>(command), enabled ? 0 : 1);
}

void FrameMenuSink::replacePopup(int position, const char* title, const std::vector<MenuEntry>& items)
{
    Menu* bar = frame ? frame->getMenu() : nullptr;
    if (!bar)
        return;
    // The handle goes to the menu bar; the object only builds it.
    Menu popup;
    for (const MenuEntry& item : items) {
        if (item.command)
            popup.appendItem(static_cast<UINT>(item.command), item.text.text());
        else
            popup.appendSeparator();
    }
    bar->deleteItemAt(position);
    bar->insertPopup(&popup, title, position);
    bar->redraw();
}

void FrameMenuSink::setMainTitle(const char* title)
{
    if (frame)
        frame->setTitle(title);
}

int askWithMessageBox(WindowCL* owner, const char* text, const char* caption)
{
    MessageBoxObject box(owner, text, caption, MB_YESNO | MB_ICONQUESTION);
    return box.answer;
}

CommandPoster commandPosterFor(WindowCL* frame)
{
    return [frame](int command) {
        if (frame && frame->hwnd)
            PostMessageA(frame->hwnd, WM_COMMAND, static_cast<WPARAM>(command), 0);
    };
}
