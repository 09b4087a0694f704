// The run-time libraries the programs attach: the engine's own (BASE, FILE,
// TABLE) and FUZZY and IDENT of blocks/. A program hands the list to the
// registry (setModuleLibraryList) before its first compile; the engine
// itself knows only its own three.
#ifndef KYT_BLOCKS_RUNTIMELIBRARIES_H
#define KYT_BLOCKS_RUNTIMELIBRARIES_H

#include "ModuleDescriptor.h"

// Null-terminated, in attach order.
extern const ModuleRegisterFunction kRunTimeLibraries[];

#endif
