// The tool bars of kytfuzzy's windows: a row of 27 x 25 bitmap buttons in
// groups, a 4-pixel margin before the first and a 16-pixel gap before each
// new group.
#ifndef KYT_KYTFUZZY_APP_FUZZYTOOLBAR_H
#define KYT_KYTFUZZY_APP_FUZZYTOOLBAR_H

#include <cstddef>

class ToolBarCL;
class WindowCL;

struct FuzzyBarButton {
    int command;
    int bitmap;
    int group;
    unsigned long style; // the button's style, 0 for a plain push button
};

// Makes the bar at the top of window, height pixels high, with the buttons
// in their order. A bitmap that does not load is reported as the failed
// assertion named by what.
ToolBarCL* buildFuzzyToolBar(WindowCL* window, int height, const FuzzyBarButton* buttons, size_t count,
                             const char* what);

#endif
