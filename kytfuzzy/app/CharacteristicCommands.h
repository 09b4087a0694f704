// The frame's characteristic commands: show the curve or the control
// surface of the block (163, and 18238 with the last choice), and save the
// characteristic as MATLAB commands (138) or as a text table (11048).
#ifndef KYT_KYTFUZZY_CHARACTERISTICCOMMANDS_H
#define KYT_KYTFUZZY_CHARACTERISTICCOMMANDS_H

#include "Characteristic.h"

class FuzzyEditorFrame;
class FuzzyOptions;
class PlotFrame;

class CharacteristicCommands {
public:
    CharacteristicCommands(FuzzyEditorFrame* frame, FuzzyOptions* options);

    // true when the id is one of the commands.
    bool command(unsigned int id);

    // Checks, compiles and asks (the surface dialog unless recalculate, the
    // values of further inputs); false when stopped. Computes the grid.
    bool prepare(bool recalculate, SurfaceGrid* grid, int* keepView);
    void showCharacteristic(bool recalculate);
    void exportCharacteristic(bool matlab);

private:
    void drawCurve(const SurfaceGrid& grid);
    void showBox(const char* text, unsigned int caption, unsigned int icon);

    FuzzyEditorFrame* frame;
    FuzzyOptions* options;
};

// The cursor's values in status fields 1-3 of a plot window: x, y when
// given, and the seconds since the computation began.
void showCursorValues(PlotFrame* frame, double x, double y, bool yGiven, double seconds);

#endif
