#include "Menu.h"

#include "Application.h"
#include "Window.h"

namespace {

PopupMenu* activePopup = nullptr;

} // namespace

// ---------------------------------------------------------------- CommandTarget

CommandTarget::~CommandTarget()
{
    deleteHandlerList(handlers);
}

LRESULT CommandTarget::dispatch(EventRecord* event)
{
    if (!handlers)
        return 0;
    LifeWatch watch(*this);
    DListIteratorOf<HandlerRecord> walk(*handlers);
    while (HandlerRecord* record = walk.next()) {
        if (!record->matches(event))
            continue;
        LRESULT result = record->invoke(event);
        if (!watch.alive()) {
            // A handler deleted this menu and its list with it.
            walk.abandon();
            return result ? 1 : 0;
        }
        if (result)
            return 1;
    }
    return 0;
}

void CommandTarget::addHandler(WindowCL* window, HandlerRecord* record)
{
    if (!handlers)
        handlers = new HandlerList;
    handlers->prepend(record);
    if (window)
        window->setHandlerFlags(flagMask);
}

int CommandTarget::removeHandler(WindowCL* window, const EventCall& call, UINT message)
{
    return removeHandlerRecord(handlers, message, window ? window->hwnd : nullptr, call);
}

// ---------------------------------------------------------------- Menu

HMENU Menu::loadMenu(const ResourceId& resource)
{
    ResourceModule from(resource);
    if (from.failed())
        return nullptr;
    return LoadMenuA(from.module(), resourceName(resource));
}

Menu::Menu() : owner(nullptr), hmenu(CreatePopupMenu()), handleOwnedElsewhere(0)
{
    flagMask = HF_MENU;
}

Menu::Menu(WindowCL* window) : owner(window), hmenu(nullptr), handleOwnedElsewhere(0)
{
    flagMask = HF_MENU;
    if (!window)
        return;
    hmenu = CreateMenu();
    attachTo(window);
}

Menu::Menu(WindowCL* window, const ResourceId& resource)
    : owner(window), hmenu(loadMenu(resource)), handleOwnedElsewhere(0)
{
    flagMask = HF_MENU;
    if (window && hmenu)
        attachTo(window);
}

Menu::Menu(const ResourceId& resource) : owner(nullptr), hmenu(loadMenu(resource)), handleOwnedElsewhere(0)
{
    flagMask = HF_MENU;
}

void Menu::attachTo(WindowCL* window)
{
    if (window->isWindow())
        SetMenu(window->hwnd, hmenu);
    window->setAttachedMenu(this);
}

Menu::~Menu()
{
    if (activePopup == this)
        activePopup = nullptr;
    if (owner && owner->getMenu() == this)
        owner->setAttachedMenu(nullptr);
    if (hmenu && owner && !(owner->state & STATE_GONE) && owner->isWindow() && GetMenu(owner->hwnd) == hmenu)
        SetMenu(owner->hwnd, nullptr);
    if (hmenu && !handleOwnedElsewhere)
        DestroyMenu(hmenu);
    hmenu = nullptr;
}

void Menu::redraw()
{
    if (owner && owner->isWindow())
        DrawMenuBar(owner->hwnd);
}

BOOL Menu::appendItem(UINT itemId, const char* text, UINT flags)
{
    return AppendMenuA(hmenu, flags, itemId, text);
}

BOOL Menu::appendNewColumnItem(UINT itemId, const char* text)
{
    return AppendMenuA(hmenu, MF_MENUBARBREAK, itemId, text);
}

BOOL Menu::appendSeparator()
{
    return AppendMenuA(hmenu, MF_SEPARATOR, 0, nullptr);
}

BOOL Menu::appendBitmapItem(UINT itemId, HBITMAP bitmap)
{
    return AppendMenuA(hmenu, MF_BITMAP, itemId, reinterpret_cast<LPCSTR>(bitmap));
}

BOOL Menu::appendPopup(Menu* submenu, const char* text)
{
    if (!submenu || !submenu->hmenu)
        return FALSE;
    BOOL ok = AppendMenuA(hmenu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu->hmenu), text);
    // From now on the parent's DestroyMenu or deleteItemAt destroys the
    // handle; the submenu object must not destroy it a second time.
    if (ok)
        submenu->handleOwnedElsewhere = 1;
    return ok;
}

BOOL Menu::insertItemAt(int position, UINT itemId, const char* text, UINT flags)
{
    return InsertMenuA(hmenu, static_cast<UINT>(position), flags | MF_BYPOSITION, itemId, text);
}

BOOL Menu::insertBitmapItemAt(int position, UINT itemId, HBITMAP bitmap)
{
    return InsertMenuA(hmenu, static_cast<UINT>(position), MF_BITMAP | MF_BYPOSITION, itemId,
                       reinterpret_cast<LPCSTR>(bitmap));
}

BOOL Menu::insertPopup(Menu* submenu, const char* text, int position)
{
    if (!submenu || !submenu->hmenu)
        return FALSE;
    BOOL ok = InsertMenuA(hmenu, static_cast<UINT>(position), MF_POPUP | MF_BYPOSITION,
                          reinterpret_cast<UINT_PTR>(submenu->hmenu), text);
    if (ok)
        submenu->handleOwnedElsewhere = 1;
    return ok;
}

BOOL Menu::insertBitmapPopup(Menu* submenu, HBITMAP bitmap, int position)
{
    if (!submenu || !submenu->hmenu)
        return FALSE;
    BOOL ok = InsertMenuA(hmenu, static_cast<UINT>(position), MF_POPUP | MF_BITMAP | MF_BYPOSITION,
                          reinterpret_cast<UINT_PTR>(submenu->hmenu), reinterpret_cast<LPCSTR>(bitmap));
    if (ok)
        submenu->handleOwnedElsewhere = 1;
    return ok;
}

BOOL Menu::deleteItemAt(int position)
{
    return DeleteMenu(hmenu, static_cast<UINT>(position), MF_BYPOSITION);
}

void Menu::grayItem(UINT itemId, int gray)
{
    EnableMenuItem(hmenu, itemId, gray ? MF_GRAYED : MF_ENABLED);
}

int Menu::enableItem(UINT itemId, int enable)
{
    return EnableMenuItem(hmenu, itemId, enable ? MF_ENABLED : MF_DISABLED) != -1;
}

int Menu::checkItem(UINT itemId, int check)
{
    return CheckMenuItem(hmenu, itemId, check ? MF_CHECKED : MF_UNCHECKED) != static_cast<DWORD>(-1);
}

// ---------------------------------------------------------------- SystemMenu

SystemMenu::SystemMenu(WindowCL* window) : Menu(static_cast<WindowCL*>(nullptr))
{
    owner = window;
    hmenu = window && window->isWindow() ? GetSystemMenu(window->hwnd, FALSE) : nullptr;
    // The system menu belongs to its window.
    handleOwnedElsewhere = 1;
}

// ---------------------------------------------------------------- PopupMenu

PopupMenu::PopupMenu(int x, int y, WindowCL* window) : Menu(), screenX(0), screenY(0), loaded(nullptr)
{
    owner = window;
    placeAt(x, y);
}

PopupMenu::PopupMenu(int x, int y, WindowCL* window, const ResourceId& resource)
    : Menu(), screenX(0), screenY(0), loaded(nullptr)
{
    // The empty popup that Menu() made is not needed.
    if (hmenu)
        DestroyMenu(hmenu);
    owner = window;
    loaded = loadMenu(resource);
    hmenu = loaded ? GetSubMenu(loaded, 0) : nullptr;
    placeAt(x, y);
}

PopupMenu::~PopupMenu()
{
    if (activePopup == this)
        activePopup = nullptr;
    if (loaded) {
        // Destroys the submenu too; the Menu destructor must not again.
        DestroyMenu(loaded);
        loaded = nullptr;
        hmenu = nullptr;
    }
}

void PopupMenu::placeAt(int x, int y)
{
    POINT p = {x, y};
    if (owner && owner->isWindow())
        ClientToScreen(owner->hwnd, &p);
    screenX = p.x;
    screenY = p.y;
}

PopupMenu* PopupMenu::active()
{
    return activePopup;
}

BOOL PopupMenu::track()
{
    activePopup = this;
    if (!hmenu)
        return FALSE;
    return TrackPopupMenu(hmenu, TPM_RIGHTBUTTON, screenX, screenY, 0, owner ? owner->hwnd : nullptr, nullptr);
}

BOOL PopupMenu::trackAt(const Point& clientPoint)
{
    placeAt(clientPoint.x(), clientPoint.y());
    return track();
}

// ---------------------------------------------------------------- ResourceData

ResourceData::ResourceData(const ResourceId& resource, LPCSTR type)
    : resourceHandle(nullptr), module(nullptr), data(nullptr), size(0)
{
    ResourceModule from(resource);
    if (from.failed())
        return;
    HRSRC found = FindResourceA(from.module(), resourceName(resource), type);
    if (!found)
        return;
    HGLOBAL handle = LoadResource(from.module(), found);
    if (!handle)
        return;
    data = LockResource(handle);
    if (!data)
        return;
    size = SizeofResource(from.module(), found);
    resourceHandle = found;
    // The library stays loaded while the data is in use.
    module = from.release();
}

ResourceData::~ResourceData()
{
    if (module && module != programInstance())
        FreeLibrary(module);
}
