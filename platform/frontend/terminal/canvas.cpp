#include "platform/frontend/terminal/canvas.h"

#include "platform/frontend/terminal/text_layout.h"

#include <algorithm>
#include <cwctype>

namespace platform::frontend::terminal {

namespace {
constexpr wchar_t kHorizontal = 0x2500;
constexpr wchar_t kVertical = 0x2502;
constexpr wchar_t kTopLeft = 0x250C;
constexpr wchar_t kTopRight = 0x2510;
constexpr wchar_t kBottomLeft = 0x2514;
constexpr wchar_t kBottomRight = 0x2518;
}  // namespace

Area Area::intersect(const Area& other) const
{
    return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
            std::min(bottom, other.bottom)};
}

Canvas::Canvas(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      cells_(static_cast<std::size_t>(width_) * height_)
{
}

void Canvas::clear_wide_neighbours(int x, int y)
{
    // Overwriting half of a wide character leaves the other half blank.
    if (cell(x, y).continuation && x > 0) {
        cell(x - 1, y).ch = L' ';
    }
    if (x + 1 < width_ && cell(x + 1, y).continuation) {
        cell(x + 1, y).continuation = false;
        cell(x + 1, y).ch = L' ';
    }
}

int Canvas::put(int x, int y, wchar_t ch, CellStyle style, const Area& clip)
{
    Area area = clip.intersect({0, 0, width_, height_});
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0) || !std::iswprint(static_cast<wint_t>(ch))) {
        ch = L'?';
    }
    int w = column_width(ch);
    if (w == 0) {
        return 0;  // combining marks are not drawn on their own
    }
    if (!area.contains(x, y)) {
        return w;
    }
    if (w == 2 && !area.contains(x + 1, y)) {
        ch = L' ';
        w = 1;
    }
    clear_wide_neighbours(x, y);
    cell(x, y) = {ch, false, style};
    if (w == 2) {
        clear_wide_neighbours(x + 1, y);
        cell(x + 1, y) = {L' ', true, style};
    }
    return w;
}

int Canvas::text(int x, int y, std::wstring_view text, CellStyle style, const Area& clip)
{
    int start = x;
    for (wchar_t ch : text) {
        x += put(x, y, ch, style, clip);
    }
    return x - start;
}

void Canvas::fill(const Area& area, wchar_t ch, CellStyle style)
{
    Area a = area.intersect({0, 0, width_, height_});
    for (int y = a.top; y < a.bottom; ++y) {
        for (int x = a.left; x < a.right; ++x) {
            put(x, y, ch, style, a);
        }
    }
}

void Canvas::frame(const Area& area, CellStyle style, const Area& clip)
{
    if (area.empty()) {
        return;
    }
    int r = area.right - 1;
    int b = area.bottom - 1;
    for (int x = area.left + 1; x < r; ++x) {
        put(x, area.top, kHorizontal, style, clip);
        put(x, b, kHorizontal, style, clip);
    }
    for (int y = area.top + 1; y < b; ++y) {
        put(area.left, y, kVertical, style, clip);
        put(r, y, kVertical, style, clip);
    }
    put(area.left, area.top, kTopLeft, style, clip);
    put(r, area.top, kTopRight, style, clip);
    put(area.left, b, kBottomLeft, style, clip);
    put(r, b, kBottomRight, style, clip);
}

void Canvas::add_flags(const Area& area, std::uint8_t flags)
{
    Area a = area.intersect({0, 0, width_, height_});
    for (int y = a.top; y < a.bottom; ++y) {
        for (int x = a.left; x < a.right; ++x) {
            cell(x, y).style.flags |= flags;
        }
    }
}

std::wstring Canvas::row_text(int y) const
{
    std::wstring row;
    if (y < 0 || y >= height_) {
        return row;
    }
    for (int x = 0; x < width_; ++x) {
        if (!at(x, y).continuation) {
            row.push_back(at(x, y).ch);
        }
    }
    return row;
}

}  // namespace platform::frontend::terminal
