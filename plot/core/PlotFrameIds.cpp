#include "PlotFrameParts.h"

const PlotFrameIds kKytPlotFrameIds = {
    151,   // asciiExport
    116,   // matlabExport
    2003,  // print
    150,   // freeze
    161,   // copy
    158,   // rescale
    7834,  // options
    12780, // background
    2378,  // gridColour
    8347,  // scaleColour
    12890, // font
    1124,  // solidGrid
    4711,  // editorToFront
    2101,  // menu
    119,   // accelerators
    200,   // "KYTide:ZIZAdir"
    19205, // "- aktiv"
    19206  // "- eingefroren"
};
