#pragma once
// Small value types shared by the whole class library.
#include <cstdint>
#include <functional>

// Colours are 24-bit values with red in the low byte: 0x0000FF is red, 0xFF0000 blue.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clNavy = 0x800000;
// System colours are resolved by the realisation; these are their classic values.
constexpr TColor clBtnFace = 0xF0F0F0;
constexpr TColor clWindowText = 0x000000;

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// A set of modifier keys and mouse buttons held during an input event.
struct TShiftState {
    bool Shift = false, Ctrl = false, Alt = false;
    bool Left = false, Right = false, Middle = false;
    bool Double = false;
    bool NoModifier() const { return !Shift && !Ctrl && !Alt; }
};

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
