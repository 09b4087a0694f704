// The one way into Meschach for C++ code: its headers with C linkage, and
// without the macros that clash with C++ and the standard library (`catch`
// is a keyword, `error`, `warning`, `max` and `min` are common names).
// Meschach calls run only inside a MeschachGuard (MeschachGuard.h): outside
// one, a Meschach error ends the process.
#ifndef KYT_BLOCKS_MESCHACH_H
#define KYT_BLOCKS_MESCHACH_H

// Meschach's machine.h pulls these in; included first, with C++ linkage as
// the library wants, they are not opened again inside the extern "C" block.
#include <float.h>
#include <malloc.h>
#include <math.h>
#include <setjmp.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

extern "C" {
#include <meschach/matrix.h>
#include <meschach/matrix2.h>
#include <meschach/zmatrix.h>
#include <meschach/zmatrix2.h>
}

#undef catch
#undef catchall
#undef tracecatch
#undef error
#undef warning
#undef max
#undef min

#endif
