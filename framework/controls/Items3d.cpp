#include "Items3d.h"

#include "DeviceContext.h"

namespace paint3d {

COLORREF face()
{
    return GetSysColor(COLOR_BTNFACE);
}

void line(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void line(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2, int x3, int y3)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    LineTo(dc, x3, y3);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void fill(HDC dc, const RECT& r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void frame(HDC dc, const RECT& r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
}

} // namespace paint3d

using namespace paint3d;

namespace {

COLORREF effectColour(int c)
{
    return c == EFFECT_WHITE ? kWhite : kGray;
}

std::string cut(const char* text, size_t limit)
{
    std::string s = text ? text : "";
    if (s.size() > limit)
        s.resize(limit);
    return s;
}

} // namespace

// ---------------------------------------------------------------- TextItemCL

TextItemCL::TextItemCL(ItemGroupCL* group, Geometry* g, const char* t, int autoSizeFlag)
    : ItemCL(group, g), text(t ? t : ""), cachedLength(0xFFFF), autoSize(autoSizeFlag)
{
    if (!autoSize)
        return;
    Layout* parentLayout = g ? g->parentLayout : nullptr;
    if (!parentLayout && group && group->geometry)
        parentLayout = group->geometry->asLayout();
    delete geometry;
    geometry = new MeasuredEdgeLayout(PLACE_TOP, [this] { return textExtent(); }, parentLayout);
}

void TextItemCL::setText(const char* t)
{
    text = t ? t : "";
    cachedLength = 0xFFFF;
    if (autoSize && geometry && geometry->parentLayout)
        geometry->parentLayout->layout(nullptr);
}

Point TextItemCL::textExtent()
{
    DeviceContext* dc = context();
    if (!dc)
        return Point(0, 0);
    SIZE size = {0, 0};
    dc->attach();
    if (dc->hdc)
        GetTextExtentPoint32A(dc->hdc, text.c_str(), static_cast<int>(text.size()), &size);
    dc->release();
    return Point(size.cx, size.cy);
}

void TextItemCL::paint(const Rect*)
{
    DeviceContext* dc = context();
    if (!dc || !geometry)
        return;
    dc->attach();
    if (dc->hdc) {
        cachedLength = static_cast<uint32_t>(text.size());
        TextOutA(dc->hdc, geometry->x, geometry->y, text.c_str(), static_cast<int>(cachedLength));
    }
    dc->release();
}

// ---------------------------------------------------------------- LabelItemCL

LabelItemCL::LabelItemCL(ItemGroupCL* group, Geometry* g, uint32_t labelStyle, const char* t)
    : TextItemCL(group, g, cut(t, kLabelTextLimit).c_str(), 0), style(0), effect{EFFECT_NONE, EFFECT_NONE},
      focus(0), disabled(0), mnemonic(-1), textX(0), textY(0), textWidth(0), textHeight(0), showsFocusDots(true)
{
    setStyle(labelStyle);
}

void LabelItemCL::setStyle(uint32_t s)
{
    style = s;
    effect = textEffect(s, effect);
    disabled = (s & WS_DISABLED) ? 1 : 0;
}

void LabelItemCL::setFont(HFONT font)
{
    DeviceContext* dc = context();
    if (!dc)
        return;
    delete dc->popFont();
    dc->pushFont(font ? new Font(font) : new Font(StockObject{SYSTEM_FONT}));
}

Rect LabelItemCL::groupRect() const
{
    return parent && parent->geometry ? parent->geometry->rect() : bounds();
}

void LabelItemCL::measure(HDC dc)
{
    const MnemonicText m = parseMnemonic(text);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, m.text.c_str(), static_cast<int>(m.text.size()), &size);
    textWidth = size.cx + effectExtra(style);
    textHeight = size.cy + effectExtra(style);
    mnemonic = m.mnemonic;
}

void LabelItemCL::placeText()
{
    const Rect g = groupRect();
    textX = checkLabelX(style, g.left());
    textY = g.top() + (g.height() / 2 - textHeight / 2) + effectOffset(style);
}

void LabelItemCL::paint(const Rect*)
{
    DeviceContext* dc = context();
    if (!dc)
        return;
    dc->attach();
    if (HDC h = dc->hdc) {
        measure(h);
        placeText();
        if (showsFocusDots)
            drawFocus(h, true);
        drawText(h);
        if (showsFocusDots && focus)
            drawFocus(h, false);
    }
    dc->release();
}

void LabelItemCL::drawFocus(HDC dc, bool erase)
{
    const COLORREF c = erase ? face() : kGray;
    const int left = textX - 1, top = textY - 1, right = textX + textWidth + 3, bottom = textY + textHeight + 1;
    for (int x = left; x <= right; ++x)
        if (x % 2 == 0) {
            SetPixel(dc, x, top, c);
            SetPixel(dc, x, bottom, c);
        }
    for (int y = top; y <= bottom; ++y)
        if (y % 2 == 0) {
            SetPixel(dc, left, y, c);
            SetPixel(dc, right, y, c);
        }
}

void LabelItemCL::drawText(HDC dc)
{
    const MnemonicText m = parseMnemonic(text);
    mnemonic = m.mnemonic;
    RECT r = {textX, textY, textX + textWidth, textY + textHeight};
    fill(dc, r, face());
    const int n = static_cast<int>(m.text.size());
    if (disabled) {
        GrayStringA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(m.text.c_str()), n, textX, textY, 0, 0);
        return;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(dc);
    if (mnemonic >= 0 && mnemonic < n) {
        SIZE before = {0, 0}, letter = {0, 0};
        GetTextExtentPoint32A(dc, m.text.c_str(), mnemonic, &before);
        GetTextExtentPoint32A(dc, m.text.c_str() + mnemonic, 1, &letter);
        const int y = textY + textHeight - 1;
        line(dc, kBlack, textX + before.cx, y, textX + before.cx + letter.cx + 1, y);
    }
    if (effect.colour1 != EFFECT_NONE) {
        SetTextColor(dc, effectColour(effect.colour1));
        TextOutA(dc, textX, textY, m.text.c_str(), n);
    }
    if (effect.colour2 != EFFECT_NONE) {
        SetTextColor(dc, effectColour(effect.colour2));
        TextOutA(dc, textX + 2, textY + 2, m.text.c_str(), n);
    }
    SetTextColor(dc, kBlack);
    TextOutA(dc, textX + 1, textY + 1, m.text.c_str(), n);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void GroupLabelItemCL::placeText()
{
    const Rect g = groupRect();
    int x = 0;
    shown = groupLabelX(style, g.left(), g.width(), textWidth, x);
    textX = x;
    textY = g.top() + effectOffset(style);
}

void GroupLabelItemCL::paint(const Rect*)
{
    DeviceContext* dc = context();
    if (!dc)
        return;
    dc->attach();
    if (HDC h = dc->hdc) {
        measure(h);
        placeText();
        if (shown && !text.empty())
            drawText(h);
    }
    dc->release();
}

void PanelLabelItemCL::placeText()
{
    const Rect g = groupRect();
    textX = panelLabelX(style, g.left(), g.width(), inner.left, inner.right, textWidth);
    textY = g.top() + inner.top + 1 + effectOffset(style);
}

void PanelLabelItemCL::paint(const Rect*)
{
    DeviceContext* dc = context();
    if (!dc)
        return;
    dc->attach();
    if (HDC h = dc->hdc) {
        measure(h);
        placeText();
        drawFocus(h, true);
        if (!text.empty())
            drawText(h);
    }
    dc->release();
}

// ---------------------------------------------------------------- StateItemCL

StateItemCL::StateItemCL(ItemGroupCL* group, Geometry* g, uint32_t itemStyle, const char*, int itemId)
    : ItemCL(group, g), id(itemId), style(itemStyle), state(BUTTON_UP)
{
    clearFlags(kWantsMouse);
}

void StateItemCL::paint(const Rect*)
{
    if (state == BUTTON_UP)
        showUp();
    else if (state == BUTTON_DISABLED)
        showDisabled();
}

HDC StateItemCL::beginDraw()
{
    DeviceContext* dc = context();
    if (!dc)
        return nullptr;
    dc->attach();
    if (!dc->hdc) {
        dc->release();
        return nullptr;
    }
    return dc->hdc;
}

void StateItemCL::endDraw()
{
    if (DeviceContext* dc = context())
        dc->release();
}

LabelItemCL* StateItemCL::label() const
{
    SubItemGroupCL* group = dynamic_cast<SubItemGroupCL*>(parent);
    return group ? dynamic_cast<LabelItemCL*>(group->label()) : nullptr;
}

void FrameItemCL::showUp()
{
    state = BUTTON_UP;
    HDC dc = beginDraw();
    if (!dc)
        return;
    const Rect b = bounds();
    const int left = b.left(), top = b.top() + 7, right = b.right(), bottom = b.bottom();
    work = RECT{left, top, right, bottom};
    const COLORREF dark = (style & 0x400) ? kGray : kBlack;
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HPEN white = CreatePen(PS_SOLID, 1, kWhite);
    HGDIOBJ oldPen = SelectObject(dc, white);
    if (!(style & 0x200)) {
        Rectangle(dc, left + 1, top + 1, right, bottom);
        SelectObject(dc, oldPen);
        line(dc, dark, right - 1, top, left, top, left, bottom);
        line(dc, dark, left + 2, bottom - 2, right - 2, bottom - 2, right - 2, top + 1);
    } else {
        Rectangle(dc, left, top, right - 1, bottom - 1);
        SelectObject(dc, oldPen);
        line(dc, dark, right - 1, top, right - 1, bottom - 1, left - 1, bottom - 1);
        line(dc, dark, left + 1, bottom - 1, left + 1, top + 1, right - 2, top + 1);
    }
    SelectObject(dc, oldBrush);
    DeleteObject(white);
    LabelItemCL* caption = label();
    if (caption && !caption->text.empty() && (caption->style & 0x1800)) {
        caption->measure(dc);
        const int w = caption->textWidth;
        int from = left + 5, to = left + 7 + w;
        if ((caption->style & 0x1800) == 0x1000) {
            from = left + (right - left) / 2 - w / 2 - 1;
            to = from + w + 2;
        } else if ((caption->style & 0x1800) == 0x1800) {
            from = right - 7 - w;
            to = right - 5;
        }
        line(dc, face(), from, top, to, top);
        line(dc, face(), from, top + 1, to, top + 1);
    }
    endDraw();
}

BevelItemCL::BevelItemCL(ItemGroupCL* group, Geometry* g, uint32_t itemStyle, const char* t, int itemId, int w,
                         int gapWidth, int inner)
    : StateItemCL(group, g, itemStyle, t, itemId), work(), bevelWidth(w), gap(gapWidth), innerBevel(inner)
{
}

namespace {

void drawRings(HDC dc, const RECT& r, int width, COLORREF a, COLORREF b)
{
    for (int i = 0; i < width; ++i) {
        line(dc, a, r.right - i, r.top + i, r.left + i, r.top + i, r.left + i, r.bottom - i + 1);
        line(dc, b, r.right - i, r.top + i, r.right - i, r.bottom - i, r.left + i, r.bottom - i);
    }
}

} // namespace

void BevelItemCL::drawOn(HDC dc)
{
    const Rect b = bounds();
    RECT r = {b.left(), b.top(), b.right() - 1, b.bottom() - 1};
    const COLORREF dark = (style & 0x400) ? kBlack : kGray;
    const bool raised = (style & 0x200) != 0;
    drawRings(dc, r, bevelWidth, raised ? kWhite : dark, raised ? dark : kWhite);
    InflateRect(&r, -(bevelWidth + gap), -(bevelWidth + gap));
    if (innerBevel) {
        const bool innerRaised = (style & 0x4000) != 0;
        drawRings(dc, r, bevelWidth, innerRaised ? kWhite : dark, innerRaised ? dark : kWhite);
    }
    r.left += bevelWidth;
    r.top += bevelWidth;
    r.right -= 2 * bevelWidth;
    work = r;
    if (PanelLabelItemCL* caption = dynamic_cast<PanelLabelItemCL*>(label()))
        caption->inner = RECT{r.left - b.left(), r.top - b.top(), r.right - b.left(), r.bottom - b.top()};
}

void BevelItemCL::showUp()
{
    state = BUTTON_UP;
    HDC dc = beginDraw();
    if (!dc)
        return;
    drawOn(dc);
    endDraw();
}
