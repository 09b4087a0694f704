#include "BlockDialogModels.h"

#include "Assert.h"
#include "ErrorReporter.h"
#include "NumberField.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "SignalNameRegistry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

// ---------------------------------------------------------------- parameters

namespace {

void add(ParameterDialogLayout& d, ParameterControl::Kind kind, int x, int y, int w, int h, const String& text,
         int id = -1, int parameter = -1)
{
    d.controls.push_back(ParameterControl{kind, x, y, w, h, text, id, parameter});
}

// A box of port lines: "name" or "name - comment" per port; y moves below it.
void portBox(ParameterDialogLayout& d, int& y, unsigned int title, int count, const std::vector<String>& names,
             const std::vector<String>& comments)
{
    add(d, ParameterControl::GROUP_BOX, 5, y, 200, count * 8 + 11, getResString(title));
    for (int i = 0; i < count; ++i) {
        String line = BlockObject::at(names, i);
        String comment = BlockObject::at(comments, i);
        if (comment.getLength())
            line += " - " + comment;
        add(d, ParameterControl::STATIC, 15, y + 8 + 8 * i, 185, 8, line);
    }
    y += count * 8 + 11;
}

} // namespace

ParameterControl::Kind parameterControlKind(int parameterKind)
{
    if (parameterKind & (kParamPlain | kParamText))
        return ParameterControl::EDIT;
    if (parameterKind & kParamBool)
        return ParameterControl::CHECK_BOX;
    return ParameterControl::GROUP_BOX;
}

int checkBoxShowsChecked(const char* value)
{
    return strcmp(value ? value : "", "0") != 0 ? 1 : 0;
}

int parameterValueValid(int parameterKind, const char* value)
{
    std::string v = value ? value : "";
    if (v.find('"') != std::string::npos)
        return 0;
    if ((parameterKind & kParamPlain) && !(parameterKind & kParamText)) {
        if (v.find_first_of(";,=#") != std::string::npos || v.find("//") != std::string::npos ||
            v.find("/*") != std::string::npos)
            return 0;
    }
    return 1;
}

int parameterValueToStore(int parameterKind, const char* typed, String* stored)
{
    std::string value = typed ? typed : "";
    const bool plain = (parameterKind & kParamPlain) && !(parameterKind & kParamText);
    if (plain && !pointDecimalCommas(value.c_str(), &value))
        return 0;
    if (!parameterValueValid(parameterKind, value.c_str()))
        return 0;
    *stored = value.c_str();
    return 1;
}

String parameterRefusalText(int parameterKind, const char* name, const char* typed)
{
    const bool plain = (parameterKind & kParamPlain) && !(parameterKind & kParamText);
    char text[kMaxResString + 600];
    snprintf(text, sizeof text, getResString(plain ? kResPlainValueRefused : kResTextValueRefused),
             name ? name : "", typed ? typed : "");
    return String(text);
}

ParameterDialogLayout parameterDialogLayout(const BlockObject& block)
{
    ParameterDialogLayout d;
    const int in = block.inputCount, out = block.outputCount, n = block.parameterCount;
    int h = (in + out) * 8 + 10;
    if (in > 0)
        h = (in + out) * 8 + 30;
    if (out > 0)
        h += 20;
    h = std::max(h, 58);
    h += n * 12;
    if (n > 0)
        h += 20;
    h = std::max(h, 100);

    add(d, ParameterControl::DEFAULT_BUTTON, 225, 12, 44, 12, "OK", 1);
    add(d, ParameterControl::BUTTON, 225, 26, 44, 12, getResString(kResCancel), 2);
    add(d, ParameterControl::BUTTON, 225, 44, 44, 12, getResString(kResHelp), kHelpButtonId);

    int y = 10;
    if (in > 0) {
        portBox(d, y, kResInputs, in, block.inputNames, block.inputComments);
        y += 4;
    }
    if (out > 0)
        portBox(d, y, kResOutputs, out, block.outputNames, block.outputComments);
    y = std::max(y + 8, 58);

    if (n > 0) {
        add(d, ParameterControl::GROUP_BOX, 5, y, 265, n * 13 + 16, getResString(kResParameters));
        for (int i = 0; i < n; ++i) {
            int row = y + 8 + 13 * i;
            std::string name = BlockObject::at(block.parameterNames, i).text();
            add(d, ParameterControl::STATIC, 15, row + 7, 40, 8, name.substr(0, kParameterNameShown).c_str());
            ParameterControl::Kind kind = parameterControlKind(BlockObject::at(block.parameterKinds, i));
            if (kind != ParameterControl::GROUP_BOX)
                add(d, kind, 60, row + 5, 105, 10, kind == ParameterControl::EDIT ? BlockObject::at(block.parameterValues, i) : String(),
                    kFirstParameterId + i, i);
            String comment = BlockObject::at(block.parameterComments, i);
            if (comment.getLength())
                add(d, ParameterControl::STATIC, 170, row + 7, 95, 8, " - " + comment);
        }
        // Many rows outgrow the height formula (12 units per row against 13
        // in the box): the dialog grows so that the last row is not cut off.
        h = std::max(h, y + n * 13 + 16 + 4);
    }
    d.width = 275;
    d.height = h;
    return d;
}

// ---------------------------------------------------------------- layout

int fitLayoutWidth(int width)
{
    return width <= 4 ? 4 : width;
}

namespace {

int ceilDiv(int a, int b)
{
    int q = a / b;
    return (a % b != 0 && ((a > 0) == (b > 0))) ? q + 1 : q;
}

int fitPass(int h, int n)
{
    if (h <= 3)
        h = 3;
    if (n == 1 && h % 2 == 0)
        ++h;
    else if (n > 1)
        h = n + (n - 1) * ceilDiv(h - n, n - 1);
    return h;
}

} // namespace

int fitLayoutHeight(int height, int inputs, int outputs)
{
    int h = height;
    h = fitPass(h, inputs);
    h = fitPass(h, outputs);
    h = fitPass(h, inputs);
    h = fitPass(h, outputs);
    // The block's own floor, so that the field shows what setGeometry keeps.
    h = std::max(h, std::max(inputs, outputs >= 2 ? outputs + 2 : outputs));
    return h;
}

BlockLayoutValues BlockLayoutValues::fromBlock(const BlockObject& b)
{
    BlockLayoutValues v;
    v.hallign = b.layout[0];
    v.vallign = b.layout[1];
    v.pichallign = b.layout[2];
    v.picvallign = b.layout[3];
    v.width = b.size.x();
    v.height = b.size.y();
    v.picwidth = b.iconDim.x();
    v.picheight = b.iconDim.y();
    v.inConns = b.inputCount;
    v.outConns = b.outputCount;
    v.labelText = b.getText();
    v.lineCenter = b.layout[4];
    v.parashow = b.layout[5];
    v.autosize = b.layout[6];
    v.labelIcon = b.iconName;
    return v;
}

void BlockLayoutValues::applyTo(BlockObject& b) const
{
    if (outConns != b.outputCount)
        b.setPortCount(b.outputCount, outConns);
    b.inputCount = inConns;
    b.outputCount = outConns;
    b.setGeometry(width, height);
    b.setIconDim(picwidth, picheight);
    b.setText(labelText.text());
    const int words[kLayoutWords] = {hallign, vallign, pichallign, picvallign, lineCenter, parashow, autosize};
    for (int i = 0; i < kLayoutWords; ++i)
        b.layout[i] = words[i];
    b.loadIcon(labelIcon.text());
}

double textFactorFrom(const char* text, double previous)
{
    // A decimal comma is read as German users mean it ("0,5" was 0).
    double value = 0.0;
    if (!readNumberField(text, &value))
        value = 0.0;
    if (!std::isfinite(value) || std::fabs(value) > kMaxTextFactor)
        return previous;
    return value;
}

void applyTextBlockValues(BlockObject& block, const char* text, int lineCenter, double scale)
{
    block.setText(text);
    block.layout[0] = 1;
    block.layout[1] = 1;
    block.layout[4] = lineCenter;
    block.scale = scale;
}

FrameBlockValues FrameBlockValues::fromBlock(const BlockObject& b)
{
    return FrameBlockValues{b.frameOutline, b.frameFill, b.textColour, b.frameColour};
}

void FrameBlockValues::applyTo(BlockObject& b) const
{
    b.frameOutline = outline;
    b.frameFill = fill;
    b.textColour = outlineColour;
    b.frameColour = fillColour;
}

// ---------------------------------------------------------------- marks

int markDataTotal(const BlockObject& b)
{
    return b.outputCount + 2 * b.stateCount + b.variableCount + b.parameterCount;
}

std::vector<String> markDataLines(const BlockObject& b)
{
    std::vector<String> texts;
    for (int i = 1; i <= b.outputCount; ++i)
        texts.push_back(b.signalName(i) + " (signal)");
    for (int i = 0; i < b.stateCount; ++i)
        texts.push_back(BlockObject::at(b.stateNames, i) + " (state)");
    for (int i = 0; i < b.stateCount; ++i)
        texts.push_back("d" + BlockObject::at(b.stateNames, i) + " (der.)");
    for (int i = 0; i < b.variableCount; ++i)
        texts.push_back(BlockObject::at(b.variableNames, i) + " (var.)");
    for (int i = 0; i < b.parameterCount; ++i)
        texts.push_back(BlockObject::at(b.parameterNames, i) + " (param.)");
    std::vector<String> lines;
    for (size_t n = 0; n < texts.size(); ++n)
        lines.push_back((BlockObject::at(b.symbolMarks, static_cast<int>(n)) ? "* " : "  ") + texts[n]);
    return lines;
}

int toggleMarkLine(BlockObject& b, int line)
{
    if (line < 0 || line >= markDataTotal(b))
        return 0;
    BlockObject::store(b.symbolMarks, line, BlockObject::at(b.symbolMarks, line) ? 0 : 1);
    return 1;
}

void setAllMarks(BlockObject& b, int value)
{
    for (int i = 0; i < markDataTotal(b); ++i)
        BlockObject::store(b.symbolMarks, i, value);
}

// ---------------------------------------------------------------- signal names

int signalNameValid(const char* name)
{
    return name && strchr(name, '"') ? 0 : 1;
}

int applySignalRenames(SignalNameRegistry& registry, const std::vector<SignalRename>& renames)
{
    std::vector<SignalRename> pending;
    for (const SignalRename& r : renames) {
        if (!r.wanted.getLength())
            continue;
        if (registry.rename(r.current.text(), r.wanted.text()))
            continue;
        String temporary = r.wanted + "_conflict";
        while (registry.contains(temporary.text()))
            temporary += "'";
        if (registry.rename(r.current.text(), temporary.text()))
            pending.push_back(SignalRename{temporary, r.wanted});
    }
    int conflict = 0;
    for (const SignalRename& p : pending)
        if (!registry.rename(p.current.text(), p.wanted.text()))
            conflict = 1;
    if (conflict)
        reportError(ERR_ERROR, "%s", getResString(kResSignalNameConflict));
    return conflict;
}
