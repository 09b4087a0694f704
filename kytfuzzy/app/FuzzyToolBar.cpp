#include "FuzzyToolBar.h"

#include "ErrorReporter.h"
#include "Layout.h"
#include "ToolBar.h"

ToolBarCL* buildFuzzyToolBar(WindowCL* window, int height, const FuzzyBarButton* buttons, size_t count,
                             const char* what)
{
    ToolBarCL* toolBar = new ToolBarCL(window, new EdgeLayout(PLACE_TOP, 0, height), 0x001);
    int position = 1;
    toolBar->addSpacer(position++, Point(4, 0));
    int group = 0;
    for (size_t i = 0; i < count; ++i) {
        const FuzzyBarButton& b = buttons[i];
        if (b.group != group) {
            toolBar->addSpacer(position++, Point(16, 0));
            group = b.group;
        }
        BmpButtonCL* button = new BmpButtonCL(toolBar, new BarItemLayout(position++, Point(27, 25)),
                                              static_cast<DWORD>(b.style), "", b.command, nullptr);
        if (!button->loadBitmap(ResourceId(static_cast<unsigned>(b.bitmap))))
            reportError(ERR_FATAL, "Assertion failed: %s", what);
    }
    return toolBar;
}
