// Icon programs, their extent and their drawing, and the icon store.
#include "Icon.h"

#include "Canvas.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "NumberFormat.h"
#include "ResString.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <strings.h>

IconStore* iconBase = nullptr;

namespace {

const char* const kSeparators = " ,;\n\r";

struct CommandWord {
    const char* word;
    IconCommand command;
    int arguments;
};

const CommandWord kCommands[] = {
    {"MT", ICON_MT, 2}, {"LT", ICON_LT, 2}, {"EL", ICON_EL, 2}, {"RT", ICON_RT, 2},
    {"LS", ICON_LS, 2}, {"LC", ICON_LC, 1}, {"FS", ICON_FS, 2},
};

// Colour numbers of pens and fills; any other number is black.
const Color kIconColours[] = {
    Color(255, 0, 0), Color(0, 255, 0),       Color(0, 0, 255),    Color(0, 0, 0),
    Color(255, 255, 255), Color(192, 192, 192), Color(128, 128, 128), Color(64, 64, 64),
};

const int kPenStyles[] = {PEN_SOLID, PEN_DASH, PEN_DOT, PEN_DASHDOT, PEN_DASHDOTDOT, PEN_NULL,
                          PEN_INSIDEFRAME};
const int kFillStyles[] = {BRUSH_BDIAGONAL, BRUSH_FDIAGONAL, BRUSH_CROSS, BRUSH_DIAGCROSS,
                           BRUSH_HORIZONTAL, BRUSH_VERTICAL, BRUSH_HOLLOW};

// A program number as a small whole number; anything else counts as 0.
int numberOf(double v)
{
    if (!(v > -1e6 && v < 1e6))
        return 0;
    return static_cast<int>(v);
}

Color colourOf(double v)
{
    int n = numberOf(v);
    return n >= 1 && n <= 8 ? kIconColours[n - 1] : Color(0, 0, 0);
}

// Pen styles outside 1-7 draw solid; fill styles outside 1-7 are hollow.
int penStyleOf(double v)
{
    int n = numberOf(v);
    return n >= 1 && n <= 7 ? kPenStyles[n - 1] : PEN_SOLID;
}

int fillStyleOf(double v)
{
    int n = numberOf(v);
    return n >= 1 && n <= 7 ? kFillStyles[n - 1] : BRUSH_HOLLOW;
}

double numberText(const std::string& s)
{
    double v = 0;
    if (parseNumber(s.c_str(), &v) == 0)
        return 0;
    return v;
}

// One device coordinate: origin + trunc(p * scale), when that is a finite
// value that an int holds.
bool deviceCoordinate(int origin, double p, double scale, int& out)
{
    double v = std::trunc(p * scale);
    if (!std::isfinite(v))
        return false;
    double sum = static_cast<double>(origin) + v;
    if (sum < INT_MIN || sum > INT_MAX)
        return false;
    out = static_cast<int>(sum);
    return true;
}

} // namespace

std::vector<IconOp> parseIconProgram(const char* text)
{
    std::vector<std::string> tokens;
    const char* p = text ? text : "";
    while (*p) {
        p += strspn(p, kSeparators);
        size_t n = strcspn(p, kSeparators);
        if (n)
            tokens.emplace_back(p, n);
        p += n;
    }
    std::vector<IconOp> ops;
    // A missing argument keeps what the previous command had in its place.
    double args[2] = {0, 0};
    for (size_t i = 0; i < tokens.size(); ++i) {
        const CommandWord* cmd = nullptr;
        for (const auto& c : kCommands)
            if (tokens[i] == c.word)
                cmd = &c;
        if (!cmd)
            continue;
        for (int k = 0; k < cmd->arguments && i + 1 < tokens.size(); ++k)
            args[k] = numberText(tokens[++i]);
        ops.push_back({cmd->command, args[0], args[1]});
    }
    return ops;
}

Icon::Icon(const char* programText, const char* iconName)
    : kind(0), text(programText ? programText : ""), name(iconName ? iconName : ""),
      ops(parseIconProgram(programText)), maxWidth(0), maxHeight(0), margin(1.0)
{
    computeExtent();
}

std::unique_ptr<Icon> Icon::bitmap(const char* path, const char* iconName)
{
    std::unique_ptr<Icon> icon(new Icon());
    icon->text = path ? path : "";
    icon->name = iconName ? iconName : "";
    return icon;
}

void Icon::computeExtent()
{
    margin = 1.0;
    if (text.getLength() == 0) {
        maxWidth = maxHeight = 1.0;
        return;
    }
    // A mended fault: the maxima once started at the smallest positive
    // double, so drawings at coordinates <= 0 got wrong extents.
    double minX = DBL_MAX, minY = DBL_MAX, maxX = -DBL_MAX, maxY = -DBL_MAX;
    bool any = false;
    auto fold = [&](double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        any = true;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    };
    double cx = 0, cy = 0;
    for (const IconOp& op : ops) {
        switch (op.command) {
        case ICON_MT:
        case ICON_LT:
            fold(op.a, op.b);
            cx = op.a;
            cy = op.b;
            break;
        case ICON_EL:
            fold(cx - op.a / 2, cy - op.b / 2);
            fold(cx + op.a / 2, cy + op.b / 2);
            break;
        case ICON_RT: fold(cx + op.a, cy + op.b); break;
        case ICON_LS:
            if (op.b > margin)
                margin = op.b;
            break;
        default: break;
        }
    }
    if (!any) {
        maxWidth = maxHeight = 0;
        return;
    }
    maxWidth = std::fabs(maxX - minX);
    maxHeight = std::fabs(maxY - minY);
}

void Icon::drawProgram(Canvas& dc, int originX, int originY, double scaleX, double scaleY) const
{
    PenSpec pen = {PEN_SOLID, 1, Color(0, 0, 0)};
    BrushSpec brush = {BRUSH_HOLLOW, Color(0, 0, 0)};
    dc.pushPen(pen);
    dc.pushBrush(brush);
    auto map = [&](double px, double py, int& x, int& y) {
        return deviceCoordinate(originX, px, scaleX, x) && deviceCoordinate(originY, py, scaleY, y);
    };
    double cx = 0, cy = 0;
    // The device's current point is where the program's is.
    bool placed = false;
    int x1, y1, x2, y2;
    for (const IconOp& op : ops) {
        switch (op.command) {
        case ICON_MT:
            cx = op.a;
            cy = op.b;
            placed = map(cx, cy, x1, y1);
            if (placed)
                dc.moveTo(x1, y1);
            break;
        case ICON_LT:
            cx = op.a;
            cy = op.b;
            if (map(cx, cy, x1, y1)) {
                if (placed)
                    dc.lineTo(x1, y1);
                else
                    dc.moveTo(x1, y1);
                placed = true;
            } else {
                placed = false;
            }
            break;
        case ICON_EL:
            if (map(cx - op.a / 2, cy - op.b / 2, x1, y1) && map(cx + op.a / 2, cy + op.b / 2, x2, y2))
                dc.ellipseBox(x1, y1, x2, y2);
            break;
        case ICON_RT:
            if (map(cx, cy, x1, y1) && map(cx + op.a, cy + op.b, x2, y2))
                dc.rectangle(x1, y1, x2, y2);
            break;
        case ICON_LS:
            pen.style = penStyleOf(op.a);
            pen.width = std::max(0, numberOf(op.b));
            dc.popPen();
            dc.pushPen(pen);
            break;
        case ICON_LC:
            pen.color = colourOf(op.a);
            dc.popPen();
            dc.pushPen(pen);
            break;
        case ICON_FS:
            brush.style = fillStyleOf(op.a);
            brush.color = brush.style == BRUSH_HOLLOW ? Color(0, 0, 0) : colourOf(op.b);
            dc.popBrush();
            dc.pushBrush(brush);
            break;
        }
    }
    dc.popBrush();
    dc.popPen();
}

void Icon::drawBitmap(Canvas& dc, int x, int y, int width, int height) const
{
    dc.drawBitmapFile(text.text(), x, y, width, height);
}

IconStore::IconStore()
{
    add("", "*** NO PIC ***");
}

void IconStore::add(const char* text, const char* name)
{
    icons.emplace_back(new Icon(text, name));
}

const Icon* IconStore::get(const char* name) const
{
    for (const auto& icon : icons)
        if (strcasecmp(icon->getName().text(), name ? name : "") == 0)
            return icon.get();
    return nullptr;
}

int IconStore::find(const char* name) const
{
    return get(name) ? 1 : 0;
}

void IconStore::loadFile(const char* fileName)
{
    String file;
    splitPath(fileName, nullptr, &file);
    file.toLower();
    size_t n = file.getLength();
    if (n >= 4 && strcmp(file.text() + n - 4, ".bmp") == 0) {
        FILE* f = openFile(fileName, "rb");
        if (!f)
            return;
        fclose(f);
        icons.push_back(Icon::bitmap(fileName, file.text()));
        return;
    }
    FILE* f = openFile(fileName, "rt");
    if (!f)
        return;
    std::string text;
    int c;
    // An icon program is a few lines: a device or a huge file is refused
    // before it fills the memory.
    while ((c = fgetc(f)) != EOF && text.size() <= kMaxIconFile)
        text += static_cast<char>(c);
    bool tooLarge = text.size() > kMaxIconFile;
    fclose(f);
    if (tooLarge) {
        reportError(ERR_ERROR, getResString(kResIconTooLarge), fileName, static_cast<unsigned long>(kMaxIconFile >> 10));
        return;
    }
    if (!find(file.text()))
        add(text.c_str(), file.text());
}

bool IconStore::isRefused(const char* name) const
{
    for (const String& r : refused)
        if (strcasecmp(r.text(), name ? name : "") == 0)
            return true;
    return false;
}

void IconStore::draw(const char* name, Canvas& dc, int x, int y, int width, int height) const
{
    const Icon* icon = get(name);
    if (!icon)
        return;
    if (icon->getKind() == 1) {
        icon->drawBitmap(dc, x, y, width, height);
        return;
    }
    double mw = icon->getMaxWidth(), mh = icon->getMaxHeight();
    double margin = icon->getMargin();
    // A drawing without width or height draws nothing; nor does one whose
    // numbers no device coordinate can hold.
    if (icon->program().empty() || !(mw > 0) || !(mh > 0) || !std::isfinite(mw) || !std::isfinite(mh) || !(margin < 1e6))
        return;
    double scaleX = (width - 2 * margin) / mw;
    double scaleY = (height - 2 * margin) / mh;
    double ox = static_cast<double>(x) + std::trunc(margin);
    double oy = static_cast<double>(y) + std::trunc(margin);
    if (ox < INT_MIN || ox > INT_MAX || oy < INT_MIN || oy > INT_MAX)
        return;
    icon->drawProgram(dc, static_cast<int>(ox), static_cast<int>(oy), scaleX, scaleY);
}

String IconStore::nameAt(int i) const
{
    return i >= 0 && i < count() ? icons[i]->getName() : String();
}
