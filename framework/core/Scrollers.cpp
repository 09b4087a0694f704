#include "Scrollers.h"

#include <initializer_list>

// ---------------------------------------------------------------- ScrollBarState

int32_t ScrollBarState::clamp(int32_t p) const
{
    if (p < minimum)
        p = minimum;
    if (p > maximum)
        p = maximum;
    return p;
}

void ScrollBarState::showPosition()
{
    if (barOwner)
        barOwner->showBarPosition(barKind, position);
}

void ScrollBarState::setRange(const Point& range)
{
    minimum = range.x();
    maximum = range.y();
    if (barOwner)
        barOwner->showBarRange(barKind, minimum, maximum);
}

void ScrollBarState::setPosition(int32_t p)
{
    previous = position;
    position = clamp(p);
    showPosition();
}

void ScrollBarState::trackTo(int32_t p)
{
    position = clamp(p);
    showPosition();
}

void ScrollBarState::applyScrollCode(int code, int thumb)
{
    switch (code) {
    case SCROLL_LINEUP: trackTo(position - line); break;
    case SCROLL_LINEDOWN: trackTo(position + line); break;
    case SCROLL_PAGEUP: trackTo(position - page); break;
    case SCROLL_PAGEDOWN: trackTo(position + page); break;
    case SCROLL_THUMBPOSITION:
    case SCROLL_THUMBTRACK: trackTo(thumb); break;
    case SCROLL_TOP: trackTo(minimum); break;
    case SCROLL_BOTTOM: trackTo(maximum); break;
    default: break; // SB_ENDSCROLL and higher change nothing
    }
}

// ---------------------------------------------------------------- Scroller

int Scroller::handleScroll(unsigned message, int code)
{
    ScrollBarState* bar = nullptr;
    const bool vertical = message == kMessageVScroll;
    if (vertical)
        bar = pane->verticalBar();
    else if (message == kMessageHScroll)
        bar = pane->horizontalBar();
    else
        return 0;
    if (code != SCROLL_ENDSCROLL)
        beforeScroll();
    if (!bar || bar->position == bar->previous)
        return 1;
    if (!pane->paneScroller())
        return 0;
    switch (code) {
    case SCROLL_LINEUP:
    case SCROLL_LINEDOWN: return vertical ? scrollVertLine() : scrollHorzLine();
    case SCROLL_PAGEUP:
    case SCROLL_PAGEDOWN: return vertical ? scrollVertPage() : scrollHorzPage();
    case SCROLL_THUMBPOSITION: return vertical ? scrollVertThumb() : scrollHorzThumb();
    case SCROLL_THUMBTRACK: return vertical ? trackVertThumb() : trackHorzThumb();
    case SCROLL_TOP: return vertical ? scrollVertTop() : scrollHorzLeft();
    case SCROLL_BOTTOM: return vertical ? scrollVertBottom() : scrollHorzRight();
    default: return 1;
    }
}

// ---------------------------------------------------------------- KeyScroller

KeyScroller::KeyScroller(ScrollPane* scrollPane) : Scroller(scrollPane), keyHandlerRegistered(false)
{
    pane->addKeyHandler(this);
    keyHandlerRegistered = true;
}

KeyScroller::~KeyScroller()
{
    if (keyHandlerRegistered)
        pane->removeKeyHandler(this);
}

int KeyScroller::onKeyDown(int key)
{
    if (!pane->paneScroller())
        return 0;
    const bool ctrl = pane->controlKeyDown();
    // 1. The vertical bar; an empty one ends the search.
    if (ScrollBarState* v = pane->verticalBar()) {
        if (v->emptyRange())
            return 0;
        if (key == kKeyPageUp && !ctrl) {
            if (v->position == v->minimum)
                return 0;
            beforeScroll();
            if (v->minimum + v->page > v->position) {
                v->setPosition(v->minimum);
                scrollVertTop();
            } else {
                v->setPosition(v->position - v->page);
                scrollVertPage();
            }
            return 1;
        }
        if (key == kKeyPageDown && !ctrl) {
            if (v->position == v->maximum)
                return 0;
            beforeScroll();
            if (v->maximum - v->page < v->position) {
                v->setPosition(v->maximum);
                scrollVertBottom();
            } else {
                v->setPosition(v->position + v->page);
                scrollVertPage();
            }
            return 1;
        }
        if (key == kKeyEnd && ctrl) {
            if (v->position == v->maximum)
                return 0;
            beforeScroll();
            v->setPosition(v->maximum);
            scrollVertBottom();
            return 1;
        }
        if (key == kKeyHome && ctrl) {
            if (v->position == v->minimum)
                return 0;
            beforeScroll();
            v->setPosition(v->minimum);
            scrollVertTop();
            return 1;
        }
    }
    // 2. Ctrl+Page Up/Down move sideways.
    ScrollBarState* h = pane->horizontalBar();
    if (!h || h->emptyRange() || !ctrl)
        return 0;
    if (key == kKeyPageUp) {
        beforeScroll();
        if (h->minimum + h->page > h->position) {
            h->setPosition(h->minimum);
            scrollHorzLeft();
        } else {
            h->setPosition(h->position - h->page);
            scrollHorzPage();
        }
        return 1;
    }
    if (key == kKeyPageDown) {
        beforeScroll();
        if (h->maximum - h->page < h->position) {
            h->setPosition(h->maximum);
            scrollHorzRight();
        } else {
            h->setPosition(h->position + h->page);
            scrollHorzPage();
        }
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- RangeScroller

RangeScroller::RangeScroller(ScrollPane* scrollPane)
    : KeyScroller(scrollPane), horzLine(1), vertLine(1), horzPage(10), vertPage(10)
{
    document = view = pane->paneIsWindow() ? pane->paneClientRect() : Rect();
}

void RangeScroller::setDocumentRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    document = Rect(left, top, right, bottom);
}

void RangeScroller::setViewRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    view = Rect(left, top, right, bottom);
}

void RangeScroller::setView(const Rect* viewRect, int32_t vertLineUnit, int32_t vertPageUnit)
{
    view = viewRect ? *viewRect : pane->paneClientRect();
    vertLine = atLeastOne(vertLineUnit);
    if (vertPageUnit > 0) {
        vertPage = vertPageUnit;
    } else if (ScrollBarState* v = pane->verticalBar()) {
        vertPage = atLeastOne(v->page / (v->line ? v->line : 1) * vertLine);
    } else {
        vertPage = 10;
    }
}

void RangeScroller::updateBars()
{
    document = view = pane->paneClientRect();
    pane->invalidatePane();
}

int RangeScroller::scrollBy(bool vertical, int d, Move move)
{
    ScrollBarState* bar = vertical ? pane->verticalBar() : pane->horizontalBar();
    if (vertical)
        pane->scrollContents(0, d, &view);
    else
        pane->scrollContents(d, 0, &view);
    if (bar)
        bar->previous = bar->position;
    moved(vertical, d, move);
    return 1;
}

void RangeScroller::moved(bool, int, Move) {}

int RangeScroller::lineStep(bool vertical)
{
    ScrollBarState* bar = vertical ? pane->verticalBar() : pane->horizontalBar();
    if (!bar)
        return 0;
    const int unit = vertical ? vertLine : horzLine;
    const int32_t pos = bar->position, drawn = bar->previous;
    if (pos < drawn && bar->minimum <= pos && drawn > 0)
        return scrollBy(vertical, unit, MOVE_STEP);
    if (pos > drawn && pos <= bar->maximum && drawn < bar->maximum)
        return scrollBy(vertical, -unit, MOVE_STEP);
    if (pos == drawn)
        return 0;
    // Not a plain step inside the range: the contents catch up with the bar.
    return toThumb(vertical);
}

int RangeScroller::pageStep(bool vertical)
{
    ScrollBarState* bar = vertical ? pane->verticalBar() : pane->horizontalBar();
    if (!bar)
        return 0;
    const int unit = vertical ? vertPage : horzPage;
    const int32_t pos = bar->position, drawn = bar->previous;
    if (pos == drawn)
        return 0;
    if (pos == drawn - bar->page && bar->minimum < drawn)
        return scrollBy(vertical, unit, MOVE_STEP);
    if (pos == drawn + bar->page && drawn < bar->maximum)
        return scrollBy(vertical, -unit, MOVE_STEP);
    return pos < drawn ? toStart(vertical) : toEnd(vertical);
}

int RangeScroller::toStart(bool vertical)
{
    ScrollBarState* bar = vertical ? pane->verticalBar() : pane->horizontalBar();
    if (!bar)
        return 0;
    const int32_t drawn = bar->previous;
    bar->trackTo(bar->minimum);
    return scrollBy(vertical, (vertical ? vertLine : horzLine) * (drawn - bar->position), MOVE_START);
}

int RangeScroller::toEnd(bool vertical)
{
    ScrollBarState* bar = vertical ? pane->verticalBar() : pane->horizontalBar();
    if (!bar)
        return 0;
    const int32_t drawn = bar->previous;
    bar->trackTo(bar->maximum);
    return scrollBy(vertical, (vertical ? vertLine : horzLine) * (drawn - bar->position), MOVE_END);
}

int RangeScroller::toThumb(bool vertical)
{
    ScrollBarState* bar = vertical ? pane->verticalBar() : pane->horizontalBar();
    if (!bar || bar->position == bar->previous)
        return 0;
    return scrollBy(vertical, (vertical ? vertLine : horzLine) * (bar->previous - bar->position), MOVE_STEP);
}

int RangeScroller::scrollVertLine() { return lineStep(true); }
int RangeScroller::scrollVertPage() { return pageStep(true); }
int RangeScroller::scrollVertTop() { return toStart(true); }
int RangeScroller::scrollVertBottom() { return toEnd(true); }
int RangeScroller::scrollVertThumb() { return toThumb(true); }
int RangeScroller::scrollHorzLine() { return lineStep(false); }
int RangeScroller::scrollHorzPage() { return pageStep(false); }
int RangeScroller::scrollHorzLeft() { return toStart(false); }
int RangeScroller::scrollHorzRight() { return toEnd(false); }
int RangeScroller::scrollHorzThumb() { return toThumb(false); }

// ---------------------------------------------------------------- ExtentScroller

ExtentScroller::ExtentScroller(ScrollPane* scrollPane) : RangeScroller(scrollPane), moveOrigin(true), updateAtOnce(true)
{
    pane->paneExtent(extent);
    ExtentScroller::updateBars();
}

ExtentScroller::~ExtentScroller()
{
    pane->setContextOrigin(Point(0, 0));
    for (ScrollBarState* bar : {pane->horizontalBar(), pane->verticalBar()}) {
        if (!bar)
            continue;
        bar->trackTo(0);
        bar->setPrevious(0);
        bar->setRange(Point(0, 0));
        bar->position = 0;
    }
    if (pane->paneIsWindow())
        pane->invalidatePane();
}

void ExtentScroller::moved(bool vertical, int d, Move move)
{
    if (!moveOrigin)
        return;
    Point origin = pane->contextOrigin();
    int32_t& axis = vertical ? origin.y() : origin.x();
    ScrollBarState* bar = vertical ? pane->verticalBar() : pane->horizontalBar();
    switch (move) {
    case MOVE_STEP: axis -= d; break;
    case MOVE_START: axis = 0; break;
    case MOVE_END:
        axis = (vertical ? vertLine : horzLine) * (bar ? bar->position / (bar->line ? bar->line : 1) : 0);
        break;
    }
    pane->setContextOrigin(origin);
    if (updateAtOnce)
        pane->updatePane();
}

bool ExtentScroller::updateAxis(bool vertical, bool haveExtent, const Rect& client)
{
    ScrollBarState* bar = vertical ? pane->verticalBar() : pane->horizontalBar();
    if (!bar)
        return false;
    // 1. What the bar and the pane hold now.
    const int32_t oldMax = bar->maximum, oldPos = bar->position;
    if (!haveExtent) {
        bar->setRange(Point(bar->minimum, bar->maximum));
        return false;
    }
    const int64_t size = vertical ? extent.y() : extent.x();
    const int64_t clientSize = vertical ? client.height() : client.width();
    const int64_t unit = vertical ? vertLine : horzLine;
    bool repaint = false;
    if (size > clientSize) {
        // 2. The range in line units, the thumb kept in proportion.
        const int32_t newMax = static_cast<int32_t>((size - clientSize + unit - 1) / unit);
        bar->maximum = newMax;
        if (oldPos != 0 && oldMax != 0) {
            bar->setPosition(static_cast<int32_t>(static_cast<int64_t>(newMax) * oldPos / oldMax));
            if (vertical)
                scrollVertThumb();
            else
                scrollHorzThumb();
        }
    } else {
        // 3. The document fits: no range, and the origin back to 0.
        bar->minimum = bar->maximum = 0;
        bar->trackTo(0);
        bar->setPrevious(0);
        Point origin = pane->contextOrigin();
        (vertical ? origin.y() : origin.x()) = 0;
        pane->setContextOrigin(origin);
        repaint = true;
    }
    // 4. The range shown.
    bar->setRange(Point(bar->minimum, bar->maximum));
    return repaint;
}

void ExtentScroller::updateBars()
{
    const bool haveExtent = pane->paneExtent(extent) != 0;
    const Rect client = pane->paneClientRect();
    bool repaint = updateAxis(false, haveExtent, client);
    repaint = updateAxis(true, haveExtent, client) || repaint;
    document = view = client;
    if (repaint)
        pane->invalidatePane();
}
