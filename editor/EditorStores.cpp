// The icon store of the editing pane, made apart from the window code
// (whose headers have an Icon class of their own).
#include "EditorStores.h"

#include "Icon.h"

IconStore* makeIconStore()
{
    return new IconStore();
}

void deleteIconStore(IconStore* store)
{
    delete store;
}
