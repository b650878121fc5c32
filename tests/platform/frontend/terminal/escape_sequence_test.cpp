#include "platform/frontend/terminal/escape_sequence.h"

#include <gtest/gtest.h>

#include <string>

namespace platform::frontend::terminal {
namespace {

using Kind = EscapeSequence::Kind;

// Reads what follows Esc and `introducer` from `bytes`, then -1 as if no more
// came in time; also says how many bytes were taken.
EscapeSequence read(wchar_t introducer, const std::string& bytes, std::size_t* taken)
{
    std::size_t at = 0;
    EscapeSequence sequence = read_escape_sequence(introducer, [&] {
        return at < bytes.size() ? static_cast<unsigned char>(bytes[at++]) : -1;
    });
    *taken = at;
    return sequence;
}

TEST(EscapeSequence, UndecodedSequencesAreReadToTheirEndAndDropped)
{
    // Each case: what followed Esc [ or Esc O, and how many of the bytes
    // belong to the sequence (the rest are keys typed after it).
    struct Case {
        wchar_t introducer;
        std::string bytes;
        Kind kind;
        std::size_t taken;
    } cases[] = {
        {L'[', "", Kind::AltKey, 0},              // Alt+[ typed alone
        {L'O', "", Kind::AltKey, 0},              // Alt+O typed alone
        {L'[', "A", Kind::Ignored, 1},            // cursor up
        {L'[', "15~x", Kind::Ignored, 3},         // F5, then an x typed
        {L'[', "1;5P ", Kind::Ignored, 4},        // Ctrl+F1, then a Space typed
        {L'[', "<0;12;5M", Kind::Ignored, 8},     // an SGR mouse report
        {L'[', "?2004", Kind::Ignored, 5},        // cut short: dropped as far as it came
        {L'[', " q", Kind::Ignored, 2},           // an intermediate byte before the final one
        {L'O', "P", Kind::Ignored, 1},            // F1 of the VT100 kind
        {L'O', "1;2Q", Kind::Ignored, 4},
        {L'[', "M !!", Kind::X10Mouse, 4},        // X10: button byte, column and row
        {L'[', "M !!  ", Kind::X10Mouse, 4},      // exactly three bytes after the M
        {L'[', "M !", Kind::Ignored, 3},          // a cut report gives no click
        {L'[', "M", Kind::Ignored, 1},
    };
    for (const Case& c : cases) {
        std::size_t taken = 0;
        EscapeSequence sequence = read(c.introducer, c.bytes, &taken);
        EXPECT_EQ(sequence.kind, c.kind) << c.bytes;
        EXPECT_EQ(taken, c.taken) << c.bytes;
    }
}

TEST(EscapeSequence, X10ClickGivesItsCellAndButton)
{
    std::size_t taken = 0;
    // Button 1 down at column 62, row 29 (counting from 0); bytes above 127
    // come for columns beyond 94.
    std::string report = "M ";
    report += static_cast<char>(62 + 33);
    report += static_cast<char>(29 + 33);
    EscapeSequence click = read(L'[', report, &taken);
    ASSERT_EQ(click.kind, Kind::X10Mouse);
    EXPECT_EQ(click.x, 62);
    EXPECT_EQ(click.y, 29);
    EXPECT_TRUE(x10_first_button_pressed(click.buttonCode));
    EscapeSequence far = read(L'[', std::string("M ") + static_cast<char>(200 + 33) + "!", &taken);
    EXPECT_EQ(far.x, 200);
    EXPECT_EQ(far.y, 0);

    // Only the first button going down is a click.
    struct Case {
        char button;
        bool click;
    } cases[] = {{' ', true}, {'!', false}, {'"', false}, {'#', false}, {'@', false}, {'`', false}, {'$', true}};
    for (const Case& c : cases) {
        EscapeSequence sequence = read(L'[', std::string("M") + c.button + "!!", &taken);
        EXPECT_EQ(x10_first_button_pressed(sequence.buttonCode), c.click) << c.button;
    }
}

}  // namespace
}  // namespace platform::frontend::terminal
