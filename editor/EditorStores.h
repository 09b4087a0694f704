// The icon store for the editing pane, without the icon headers.
#ifndef KYT_EDITOR_EDITORSTORES_H
#define KYT_EDITOR_EDITORSTORES_H

class IconStore;
extern IconStore* iconBase;

IconStore* makeIconStore();
void deleteIconStore(IconStore* store);

#endif
