// The modal font dialog of a plot (template 1245): the face from the
// faces that the pane's context enumerates, and the size in 0.1 mm.
#ifndef KYT_PLOT_FONTSELECTDIALOG_H
#define KYT_PLOT_FONTSELECTDIALOG_H

#include "Dialog.h"
#include "String.h"

class ComboBoxCL;
class PlotFrameHost;
class PlotPane;

class FontSelectDialog : public FieldDialogCL {
public:
    enum { kTemplate = 1245, kSizeField = 1004, kFaceList = 1003, kHelpButton = 4444 };

    FontSelectDialog(WindowCL* parent, PlotPane* pane, PlotFrameHost* host);
    LRESULT onCommand(EventRecord* event) override;

    // After an OK run: the face chosen (the pane's when the list had no
    // choice) and the size.
    String chosenFace() const;

    String face;
    int size;

private:
    void fillFaces(PlotPane* pane);

    ComboBoxCL* faces;
    PlotFrameHost* host;
};

#endif
