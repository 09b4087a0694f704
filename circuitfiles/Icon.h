// Block pictures: a bitmap file stretched into the target rectangle, or a
// small program of two-letter drawing commands scaled into it. Parsing a
// program yields a list of draw operations that drawProgram replays.
#ifndef KYT_CIRCUITFILES_ICON_H
#define KYT_CIRCUITFILES_ICON_H

#include "String.h"
#include "strings/CircuitStrings.h"

#include <cstddef>
#include <memory>
#include <vector>

class Canvas;

enum IconCommand {
    ICON_MT,
    ICON_LT,
    ICON_EL,
    ICON_RT,
    ICON_LS,
    ICON_LC,
    ICON_FS
};

struct IconOp {
    IconCommand command;
    double a;
    double b;
};

// The parsed form of an icon program.
std::vector<IconOp> parseIconProgram(const char* text);

class Icon {
public:
    // A vector icon from its program text.
    Icon(const char* text, const char* name);
    // A bitmap icon from the file's path.
    static std::unique_ptr<Icon> bitmap(const char* path, const char* name);

    void computeExtent();
    void drawProgram(Canvas& dc, int originX, int originY, double scaleX, double scaleY) const;
    void drawBitmap(Canvas& dc, int x, int y, int width, int height) const;

    int getKind() const { return kind; }
    const String& getName() const { return name; }
    const String& getText() const { return text; }
    double getMaxWidth() const { return maxWidth; }
    double getMaxHeight() const { return maxHeight; }
    double getMargin() const { return margin; }
    const std::vector<IconOp>& program() const { return ops; }

private:
    Icon() : kind(1), maxWidth(0), maxHeight(0), margin(1.0) {}

    int kind;
    String text;
    String name;
    std::vector<IconOp> ops;
    double maxWidth;
    double maxHeight;
    double margin;
};

class IconStore {
public:
    // The store starts with the default picture, which draws nothing.
    IconStore();

    void add(const char* text, const char* name);
    // A vector icon file (at most kMaxIconFile bytes, else 19444) or the name
    // of a bitmap file.
    void loadFile(const char* fileName);
    // Names that were refused once (no plain file name) are told only once.
    void refuse(const char* name) { refused.push_back(String(name ? name : "")); }
    bool isRefused(const char* name) const;
    int find(const char* name) const;
    const Icon* get(const char* name) const;
    void draw(const char* name, Canvas& dc, int x, int y, int width, int height) const;
    int count() const { return static_cast<int>(icons.size()); }
    // The name of icon i in store order; empty text beyond the last.
    String nameAt(int i) const;

private:
    std::vector<std::unique_ptr<Icon>> icons;
    std::vector<String> refused;
};

const size_t kMaxIconFile = 1u << 20;
const unsigned int kResIconTooLarge = kStrIconFileTooLarge;

// The program's icon store, made and deleted by the editing pane.
extern IconStore* iconBase;

#endif
