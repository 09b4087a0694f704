// The modeless options dialog of a plot (template 1054), owned by its
// frame: the colour and the shown flag of each signal (acting at once), the
// scales of both axes or automatic scaling, the info text and its lock, and
// the larger print. OK applies the rest to the pane and rescales.
#ifndef KYT_PLOT_PLOTOPTIONSDIALOG_H
#define KYT_PLOT_PLOTOPTIONSDIALOG_H

#include "Dialog.h"
#include "String.h"

class CheckBoxCL;
class EditCL;
class ListBoxCL;
class PlotFrameHost;
class PlotPane;
class StaticCL;

class PlotOptionsDialog : public FieldDialogCL {
public:
    enum {
        kTemplate = 1054,
        kSignalList = 11011,
        kColourField = 1010,
        kColourButton = 1009,
        kShown = 1022,
        kAutoX = 1006,
        kXScale = 1001,
        kAutoY = 1007,
        kYScale = 21002,
        kTextLock = 1008,
        kStatusText = 21006,
        kPrintLarge = 1771,
        kHelpButton = 4444
    };

    // Over the pane, hidden until shown; the pane's dialog-open flag is the
    // caller's to set.
    PlotOptionsDialog(WindowCL* frame, PlotPane* pane, PlotFrameHost* host);
    ~PlotOptionsDialog() override;

    // OK applies the values first; either way the pane forgets the dialog.
    void endDialog() override;
    LRESULT onCommand(EventRecord* event) override;

    // A scale edit's text: true when it reads as a scale, which it then
    // shows as formatDouble writes it; otherwise the message of that axis
    // and the last good text back in the edit.
    bool checkScale(EditCL* edit);

    // The bound values, copied from the pane.
    int autoX;
    int autoY;
    int textLocked;
    int printLarge;
    String statusText;
    // The last good text of each scale edit.
    String xText;
    String yText;

private:
    LRESULT onSignalChosen(EventRecord* event);
    LRESULT onChooseColour(EventRecord* event);
    LRESULT onShownClicked(EventRecord* event);
    LRESULT onAutoClicked(EventRecord* event);
    LRESULT onLockClicked(EventRecord* event);
    LRESULT onScaleLeft(EventRecord* event);
    LRESULT onStatusLeft(EventRecord* event);

    // The signal of the list's selection, -1 for none (or one that a new
    // run has taken away).
    int selectedSignal() const;
    void showSignal();
    void enableFields();
    void apply();
    // The pane forgets this dialog.
    void detach();

    PlotPane* pane;
    PlotFrameHost* host;
    ListBoxCL* signalList;
    StaticCL* colourField;
    CheckBoxCL* shownCheck;
    CheckBoxCL* autoXCheck;
    CheckBoxCL* autoYCheck;
    CheckBoxCL* lockCheck;
    EditCL* xEdit;
    EditCL* yEdit;
    EditCL* statusEdit;
    // A message of a scale check is up: the edit that lost the focus to it
    // is not checked again.
    bool checking;
    // Hidden or going: nothing is checked any more.
    bool closing;
};

#endif
