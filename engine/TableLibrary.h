// The TABLE library: a model loads a two-dimensional table of values on an
// even grid and interpolates in it. TABLEOPEN(name) gives a handle,
// TABLEGET(handle, y, x) the interpolated value, TABLECLOSE(handle) frees
// the values. The registry attaches it with TableModuleRegister
// (ModuleRegistry.h) after FILE.
//
// Table file: numbers separated by white space: xmin xmax nx ymin ymax ny,
// then ny rows of nx values. nx and ny are whole numbers of at least 1; a
// range xmin = xmax (or ymin = ymax) needs exactly one point.
#ifndef KYT_ENGINE_TABLELIBRARY_H
#define KYT_ENGINE_TABLELIBRARY_H

// Slots of the table (loaded, closed or failed), for tests.
int tableSlotCount();
// The count of values a slot holds (0: none), for tests.
long long tableValueCount(int handle);

#endif
