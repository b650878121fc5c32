#include "platform/frontend/terminal/escape_sequence.h"

namespace platform::frontend::terminal {

namespace {

// ECMA-48 control sequences: parameter bytes 0x30-0x3F, then intermediate
// bytes 0x20-0x2F, then one final byte 0x40-0x7E.
constexpr int kFirstParameterOrIntermediate = 0x20;
constexpr int kLastParameterOrIntermediate = 0x3F;

// An X10 mouse report: Esc [ M, then button, column and row, each as a
// byte 32 above its value (column and row counting from 1).
constexpr int kX10Marker = 'M';
constexpr int kX10Bias = 32;
constexpr int kX10ButtonMask = 0x03;  // 0-2: a button went down, 3: released
constexpr int kX10MotionOrWheel = 0x20 | 0x40;

}  // namespace

EscapeSequence read_escape_sequence(wchar_t introducer, const std::function<int()>& next)
{
    int byte = next();
    if (byte < 0) {
        return {EscapeSequence::Kind::AltKey};
    }
    if (introducer == L'[' && byte == kX10Marker) {
        int report[3];
        for (int& value : report) {
            value = next();
            if (value < 0) {
                return {};  // a cut report is dropped like any other
            }
        }
        return {EscapeSequence::Kind::X10Mouse, report[0] - kX10Bias, report[1] - kX10Bias - 1,
                report[2] - kX10Bias - 1};
    }
    while (byte >= kFirstParameterOrIntermediate && byte <= kLastParameterOrIntermediate) {
        byte = next();
        if (byte < 0) {
            return {};
        }
    }
    // This byte is the final one (0x40-0x7E). Any other byte means the
    // sequence was garbled; it is dropped with it rather than read as a key.
    return {};
}

bool x10_first_button_pressed(int buttonCode)
{
    return buttonCode >= 0 && (buttonCode & kX10MotionOrWheel) == 0 && (buttonCode & kX10ButtonMask) == 0;
}

}  // namespace platform::frontend::terminal
