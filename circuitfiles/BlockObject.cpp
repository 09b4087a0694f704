// The block object: construction from a block description, text, signal
// names, ports by name, marks, icon and help text; its geometry.
#include "BlockObject.h"

#include "CircuitReader.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "Icon.h"
#include "PlainFileName.h"
#include "ResString.h"
#include "SignalNameRegistry.h"
#include "Workspace.h"

#include <algorithm>
#include <cstring>
#include <string>

const char* const kNoPictureName = "*** NO PIC ***";

namespace {

InputSignalLookup inputLookup = nullptr;

} // namespace

void setInputSignalLookup(InputSignalLookup lookup)
{
    inputLookup = lookup;
}

String inputSignalName(const BlockObject& block, int input)
{
    return inputLookup ? inputLookup(block, input) : String();
}

BlockObject::BlockObject(const Point& pos, const Point& requested, const char* descriptionFile,
                         const char* library)
    : GraphicObject(pos), kindFlags(kKindBlock), inputCount(0), outputCount(0), parameterCount(0),
      variableCount(0), stateCount(0), iconName(kNoPictureName), libraryName(library ? library : ""),
      connectStart{0, 0}, scale(1.0), frameOutline(0), frameFill(0), errorFlag(0), mirrored(0),
      wizardFlag(0)
{
    for (int& word : layout)
        word = 1;
    setText("Block");
    setGeometry(std::max(requested.x(), 4), std::max(requested.y(), 3));
    iconDim = Point(size.x() - 1, size.y() - 1);
    standardSize = size;

    if (descriptionFile && *descriptionFile) {
        CircuitReader reader(0);
        if (!reader.openFile(descriptionFile)) {
            reportError(ERR_ERROR, getResString(kResCannotReadDescription), descriptionFile,
                        libraryName.text());
            errorFlag = 1;
        } else {
            reader.readBlock(*this);
            reader.closeFile();
            fitHeight();
            standardSize = size;
            if (getText() == String("Block"))
                setText(name.text());
            String file;
            splitPath(descriptionFile, nullptr, &file);
            file.toLower();
            typeName = file;
            symbolMarks.assign(outputCount + parameterCount + variableCount + 2 * stateCount, 0);
        }
    }
    setPortCount(0, outputCount);
}

BlockObject::~BlockObject()
{
    setPortCount(outputCount, 0);
}

int BlockObject::minimumPortHeight() const
{
    return std::max(inputCount, outputCount >= 2 ? outputCount + 2 : outputCount);
}

void BlockObject::fitHeight()
{
    int n = std::max(inputCount, outputCount);
    int h = size.y();
    if (n == 1) {
        if (h % 2 == 0)
            ++h;
    } else if (n > 1) {
        // Equal spacing: h = (n - 1) * k + n with k = ceil((h - n) / (n - 1)).
        long long num = h - n, den = n - 1;
        long long k = num >= 0 ? (num + den - 1) / den : -((-num) / den);
        // A mended fault: outputs must not share a row, so the spacing grows
        // until every port has one.
        long long need = minimumPortHeight();
        if (den * k + n < need)
            k = (need - n + den - 1) / den;
        h = static_cast<int>(den * k + n);
    }
    setGeometry(size.x(), h);
}

void BlockObject::setGeometry(int width, int height)
{
    height = std::max(height, minimumPortHeight());
    size = Point(width, height);
    rect = Rect(position.x(), position.y(), position.x() + width, position.y() + height);
}

String BlockObject::caption() const
{
    return name + " [" + libraryName + " : " + typeName + "]";
}

void BlockObject::setText(const char* text)
{
    textLines.clear();
    std::string all(text ? text : "");
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos)
            end = all.size();
        std::string piece = all.substr(start, end - start);
        start = end + 1;
        if (piece.empty())
            continue;
        if (piece == "\r")
            piece = " ";
        else if (piece.back() == '\r')
            piece.pop_back();
        textLines.push_back(String(piece.c_str()));
    }
}

String BlockObject::getText() const
{
    String all;
    for (size_t i = 0; i < textLines.size(); ++i) {
        if (i)
            all += "\r\n";
        all += textLines[i];
    }
    return all;
}

void BlockObject::setPortCount(int oldCount, int newCount)
{
    while (oldCount > newCount && !signals.empty()) {
        if (sNBase)
            sNBase->remove(signals.back());
        signals.pop_back();
        --oldCount;
    }
    for (int i = oldCount; i < newCount && sNBase; ++i) {
        String preferred = at(outputNames, i);
        String* registered = sNBase->add(preferred.getLength() ? preferred.text() : nullptr);
        signals.push_back(registered);
    }
}

String BlockObject::signalName(int n) const
{
    if (n < 1 || n > static_cast<int>(signals.size()))
        return String();
    return *signals[n - 1];
}

PortRef BlockObject::portIndexByName(const char* modelName) const
{
    for (int i = 0; i < inputCount; ++i)
        if (strcmp(at(inputNames, i).text(), modelName) == 0)
            return PortRef{1, i + 1};
    for (int i = 0; i < outputCount; ++i)
        if (strcmp(at(outputNames, i).text(), modelName) == 0)
            return PortRef{2, i + 1};
    return PortRef{0, 0};
}

String BlockObject::portModelName(int side, int index) const
{
    if (side == 1 && index >= 1 && index <= inputCount)
        return at(inputNames, index - 1);
    if (side == 2 && index >= 1 && index <= outputCount)
        return at(outputNames, index - 1);
    return String();
}

void BlockObject::setParameterValue(const char* parameter, const char* value)
{
    for (int i = 0; i < parameterCount; ++i)
        if (strcmp(at(parameterNames, i).text(), parameter) == 0) {
            store(parameterValues, i, value);
            return;
        }
}

int BlockObject::anyOutputMarked() const
{
    for (int i = 0; i < outputCount; ++i)
        if (at(symbolMarks, i))
            return 1;
    return 0;
}

int BlockObject::anyOtherSymbolMarked() const
{
    for (size_t i = outputCount; i < symbolMarks.size(); ++i)
        if (symbolMarks[i])
            return 1;
    return 0;
}

int BlockObject::symbolMarkIndex(int group, int i) const
{
    const int counts[] = {outputCount, stateCount, stateCount, variableCount, parameterCount};
    if (group < SYMBOL_OUTPUT || group > SYMBOL_PARAMETER || i < 0 || i >= counts[group])
        return -1;
    int index = i;
    for (int g = 0; g < group; ++g)
        index += counts[g];
    return index;
}

String BlockObject::flaggedEntryValue() const
{
    for (int i = 0; i < parameterCount; ++i)
        if (at(parameterKinds, i) & kParamFlagged)
            return at(parameterValues, i);
    return String();
}

void BlockObject::loadIcon(const char* iconFile)
{
    iconName = iconFile ? iconFile : "";
    if (iconBase && !iconBase->find(iconName.text())) {
        // An icon is a file of the icon directory; the name stays with the
        // block (and in what is saved), but nothing else is read for it.
        if (!isPlainFileName(iconName.text())) {
            if (!iconBase->isRefused(iconName.text())) {
                reportError(ERR_ERROR, getResString(kResNotPlainIconName), iconName.text());
                iconBase->refuse(iconName.text());
            }
            return;
        }
        const char* iconDir = theWorkspace ? theWorkspace->ICONDIR.text() : "";
        iconBase->loadFile(joinPath(iconDir, iconName.text()).text());
    }
}

String BlockObject::readHelpText() const
{
    String dir = theWorkspace ? theWorkspace->findLibraryBlockFile(libraryName.text()) : String();
    String path = joinPath(dir.text(), typeName.text());
    path.toLower();
    String help;
    FILE* f = openFile(path.text(), "rt");
    if (f) {
        String lineText;
        while (readLine(f, lineText)) {
            const char* s = lineText.text();
            if (s[0] != '#')
                break;
            std::string kept(s + 1, std::min<size_t>(lineText.getLength() - 1, 498));
            help += kept.c_str();
            help += "\r\n";
            if (help.getLength() > kMaxHelpText)
                break;
        }
        bool failed = ferror(f) != 0;
        fclose(f);
        if (failed) {
            reportError(ERR_ERROR, "%s", getResString(kResHelpReadError));
            return String();
        }
    }
    if (help.getLength() == 0) {
        reportError(ERR_MESSAGE, "%s", getResString(kResNoHelp));
        return String();
    }
    if (help.getLength() > kMaxHelpText) {
        reportError(ERR_WARNING, "%s", getResString(kResHelpTooLong));
        return String();
    }
    return help;
}

void BlockObject::store(std::vector<String>& a, int i, const char* s)
{
    if (i < 0)
        return;
    if (static_cast<size_t>(i) >= a.size())
        a.resize(i + 1);
    a[i] = s ? s : "";
}

void BlockObject::store(std::vector<int>& a, int i, int v)
{
    if (i < 0)
        return;
    if (static_cast<size_t>(i) >= a.size())
        a.resize(i + 1, 0);
    a[i] = v;
}

String BlockObject::at(const std::vector<String>& a, int i)
{
    return i >= 0 && static_cast<size_t>(i) < a.size() ? a[i] : String();
}

int BlockObject::at(const std::vector<int>& a, int i)
{
    return i >= 0 && static_cast<size_t>(i) < a.size() ? a[i] : 0;
}

// Geometry.

Point BlockObject::portPosition(int side, int index) const
{
    int n = side == 2 ? outputCount : inputCount;
    int h = size.y();
    int row;
    if (n == 1)
        row = h / 2 + 1;
    else if (n <= 0)
        row = 0;
    else if (side != 2)
        row = index == 1 ? 1 : index == n ? h : (h / (n - 1)) * (index - 1) + 1;
    else
        row = index == 1 ? 2 : index == n ? h - 1 : ((h - 2) / (n - 1)) * (index - 1) + 2;
    return Point(side, row);
}

int BlockObject::hitTest(const Point& p, int zoomX, int zoomY) const
{
    int x = position.x(), y = position.y();
    return p.x() >= x * zoomX && p.y() >= y * zoomY && p.x() <= (x + size.x()) * zoomX &&
                   p.y() <= (y + size.y()) * zoomY
               ? 1
               : 0;
}

int BlockObject::hitResizeCorner(const Point& p, int zoomX, int zoomY) const
{
    int cx = (position.x() + size.x()) * zoomX;
    int cy = (position.y() + size.y()) * zoomY;
    return p.x() >= cx - 5 && p.y() >= cy - 5 && p.x() <= cx && p.y() <= cy ? 1 : 0;
}

int BlockObject::hitPort(int pointX, int pointY, PortRef& result, int zoomX, int zoomY) const
{
    if (zoomY < 1)
        return 0;
    int row = pointY / zoomY - position.y() + 1;
    bool left = pointX < (position.x() + 1) * zoomX;
    bool right = pointX > (position.x() + size.x() - 1) * zoomX;
    int side;
    if (left)
        side = mirrored ? 2 : 1;
    else if (right)
        side = mirrored ? 1 : 2;
    else
        return 0;
    int n = side == 2 ? outputCount : inputCount;
    for (int i = 1; i <= n; ++i)
        if (portPosition(side, i).y() == row) {
            result = PortRef{side, i};
            return 1;
        }
    return 0;
}

Point BlockObject::portPoint(int side, int row, int zoomX, int zoomY) const
{
    bool onLeft = (side == 1) != (mirrored != 0);
    double px = onLeft ? (position.x() + 0.5) * zoomX : (position.x() + size.x() - 0.5) * zoomX;
    double py = (position.y() + row - 0.5) * zoomY;
    return Point(static_cast<int32_t>(px), static_cast<int32_t>(py));
}

void BlockObject::setConnectStart(int side, int index)
{
    connectStart = PortRef{side, index};
}

int BlockObject::clearConnectStart()
{
    connectStart = PortRef{0, 0};
    return 0;
}
