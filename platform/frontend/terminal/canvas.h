#pragma once
// A grid of character cells in memory, the picture the terminal front end
// composes before it hands it to curses (and which the tests read as text).
// A wide character takes two cells: the second is its continuation.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::frontend::terminal {

// What a cell belongs to; the front end turns it into colours.
enum class Paint : std::uint8_t {
    Desktop,
    Face,           // a window's client area and frame
    Title,          // the title bar of the active window
    TitleInactive,  // the title bar of any other window
    Menu,
    MenuSelected,
    Emblem,         // the application's icon
    StopIcon,       // a message box's stop, question, exclamation and information signs
    QuestionIcon,
};

enum CellFlag : std::uint8_t {
    kReverse = 1,    // the focused control
    kUnderline = 2,  // an access key
    kBold = 4,       // the default push button
    kDim = 8,        // a disabled window or control
};

struct CellStyle {
    Paint paint = Paint::Desktop;
    std::uint8_t flags = 0;
};

struct Cell {
    wchar_t ch = L' ';
    bool continuation = false;  // the right half of the wide character to its left
    CellStyle style;
};

struct Area {
    int left = 0;
    int top = 0;
    int right = 0;   // exclusive
    int bottom = 0;  // exclusive
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Area intersect(const Area& other) const;
    bool empty() const { return right <= left || bottom <= top; }
};

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    const Cell& at(int x, int y) const { return cells_[static_cast<std::size_t>(y) * width_ + x]; }

    // Writes one character, clipped to `clip`; a wide character that does
    // not fit whole is written as a blank. Returns the columns advanced.
    int put(int x, int y, wchar_t ch, CellStyle style, const Area& clip);

    // Writes text from (x, y), clipped; returns the columns it takes.
    int text(int x, int y, std::wstring_view text, CellStyle style, const Area& clip);

    void fill(const Area& area, wchar_t ch, CellStyle style);

    // A frame of box-drawing lines along the edge of `area`.
    void frame(const Area& area, CellStyle style, const Area& clip);

    // Changes the flags of the cells of `area` (a disabled window is dimmed).
    void add_flags(const Area& area, std::uint8_t flags);

    // One row as text, without the continuation cells (for tests and logs).
    std::wstring row_text(int y) const;

private:
    Cell& cell(int x, int y) { return cells_[static_cast<std::size_t>(y) * width_ + x]; }
    void clear_wide_neighbours(int x, int y);

    int width_;
    int height_;
    std::vector<Cell> cells_;
};

}  // namespace platform::frontend::terminal
