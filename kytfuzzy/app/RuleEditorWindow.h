// The rule-base editor: a window with the rules as plain text. Checking and
// leaving run the rule parsers over its work file rule.tmp in the temporary
// directory; leaving stores the text back into the frame.
#ifndef KYT_KYTFUZZY_RULEEDITORWINDOW_H
#define KYT_KYTFUZZY_RULEEDITORWINDOW_H

#include "Frame.h"

#include <string>

class FuzzyEditorFrame;
class TextEditCtrlCL;

class RuleEditorWindow : public AppFrameCL {
public:
    // owner is cleared when the window goes.
    RuleEditorWindow(FuzzyEditorFrame* frame, RuleEditorWindow** owner);
    ~RuleEditorWindow() override;

    LRESULT onCommand(EventRecord* event) override;
    LRESULT onClose(EventRecord* event) override;

    // 9013; 11023 and the close box.
    void check();
    void leave();
    TextEditCtrlCL* editor() const { return text; }

private:
    bool saveWorkFile();
    void workFileFailure();
    void close();

    FuzzyEditorFrame* frame;
    RuleEditorWindow** owner;
    TextEditCtrlCL* text;
    std::string workPath;
};

#endif
