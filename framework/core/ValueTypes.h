// Points, rectangles and colours, passed around by value by the framework,
// the editor and the plot window.
#ifndef KYT_FRAMEWORK_VALUETYPES_H
#define KYT_FRAMEWORK_VALUETYPES_H

#include <cstdint>

class Point {
public:
    Point() : px(0), py(0) {}
    Point(int32_t x, int32_t y) : px(x), py(y) {}
    Point(const Point& other) = default;
    Point& operator=(const Point& other) = default;

    void assign(const Point& other) { *this = other; }
    int32_t& x() { return px; }
    int32_t& y() { return py; }
    int32_t x() const { return px; }
    int32_t y() const { return py; }

    Point plus(int32_t dx, int32_t dy) const { return Point(px + dx, py + dy); }
    Point minus(int32_t dx, int32_t dy) const { return Point(px - dx, py - dy); }
    Point plus(const Point& d) const { return plus(d.px, d.py); }
    Point minus(const Point& d) const { return minus(d.px, d.py); }
    // Moves the point in place and writes the result to out as well.
    void offset(int32_t dx, int32_t dy, Point& out)
    {
        px += dx;
        py += dy;
        out = *this;
    }
    void offset(int32_t dx, int32_t dy)
    {
        px += dx;
        py += dy;
    }
    bool operator==(const Point& o) const { return px == o.px && py == o.py; }
    bool operator!=(const Point& o) const { return !(*this == o); }

    // The editor's point operations: component-wise minimum and maximum
    // with a pair, subtraction in place that hands back a copy, equality
    // with a pair (1 or 0) and the point itself.
    Point min(int32_t x, int32_t y) const { return Point(x < px ? x : px, y < py ? y : py); }
    Point max(int32_t x, int32_t y) const { return Point(x > px ? x : px, y > py ? y : py); }
    Point subtractInPlace(int32_t dx, int32_t dy)
    {
        px -= dx;
        py -= dy;
        return *this;
    }
    int equals(int32_t x, int32_t y) const { return px == x && py == y ? 1 : 0; }
    // 1 when both coordinates are below those of o.
    int lessThan(const Point& o) const { return px < o.px && py < o.py ? 1 : 0; }
    Point& self() { return *this; }
    const Point& self() const { return *this; }

private:
    int32_t px;
    int32_t py;
};

// Memory form of a Windows RECT: left, top, right, bottom.
class Rect {
public:
    Rect() {}
    Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) : tl(left, top), br(right, bottom) {}
    Rect(const Point& topLeft, const Point& bottomRight) : tl(topLeft), br(bottomRight) {}
    // {x, y, x + width, y + height} from an origin and a size.
    static Rect fromOriginSize(const Point& origin, const Point& size)
    {
        return Rect(origin.x(), origin.y(), origin.x() + size.x(), origin.y() + size.y());
    }

    Point& topLeft() { return tl; }
    Point& bottomRight() { return br; }
    const Point& topLeft() const { return tl; }
    const Point& bottomRight() const { return br; }

    int32_t left() const { return tl.x(); }
    int32_t top() const { return tl.y(); }
    int32_t right() const { return br.x(); }
    int32_t bottom() const { return br.y(); }
    int32_t width() const { return br.x() - tl.x(); }
    int32_t height() const { return br.y() - tl.y(); }

    bool operator==(const Rect& o) const { return tl == o.tl && br == o.br; }
    bool operator!=(const Rect& o) const { return !(*this == o); }

private:
    Point tl;
    Point br;
};

static_assert(sizeof(Point) == 8, "Point is two 32-bit ints");
static_assert(sizeof(Rect) == 16, "Rect has the memory form of a RECT");

// Four bytes: red, green, blue, flag. Built from a packed value, byte 0 is
// red, so a Windows COLORREF converts unchanged.
class Color {
public:
    Color() : red(0), green(0), blue(0), flag(0) {}
    explicit Color(uint32_t packed)
        : red(static_cast<uint8_t>(packed)), green(static_cast<uint8_t>(packed >> 8)),
          blue(static_cast<uint8_t>(packed >> 16)), flag(static_cast<uint8_t>(packed >> 24))
    {
    }
    Color(uint8_t r, uint8_t g, uint8_t b, uint8_t f = 0) : red(r), green(g), blue(b), flag(f) {}
    Color(const Color& other) = default;
    Color& operator=(const Color& other) = default;

    uint32_t packed() const
    {
        return static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) |
               (static_cast<uint32_t>(blue) << 16) | (static_cast<uint32_t>(flag) << 24);
    }
    bool operator==(const Color& o) const { return packed() == o.packed(); }

    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flag;
};

static_assert(sizeof(Color) == 4, "Color is four bytes");

// The one rule by which every drawing object turns a colour record into a
// Windows colour value: flag 0 is RGB(r, g, b); flag 1 names a palette entry
// by its first two bytes (0x01000000 | green << 8 | red); any other flag is
// the palette-relative form 0x02bbggrr. Window backgrounds keep their own rule.
inline uint32_t colorRefOf(const Color& c)
{
    const uint32_t rgb = static_cast<uint32_t>(c.red) | (static_cast<uint32_t>(c.green) << 8);
    if (c.flag == 0)
        return rgb | (static_cast<uint32_t>(c.blue) << 16);
    if (c.flag == 1)
        return 0x01000000u | rgb;
    return 0x02000000u | rgb | (static_cast<uint32_t>(c.blue) << 16);
}

#endif
