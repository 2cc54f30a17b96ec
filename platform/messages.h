#pragma once
// Window messages, virtual keys and shortcuts, as the controls exchange them.
#include <cstdint>

#include "types.h"

struct TMessage {
    unsigned Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_KEYDOWN = 0x0100;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_LBUTTONUP = 0x0202;
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned WM_RBUTTONUP = 0x0205;
constexpr unsigned WM_MBUTTONDOWN = 0x0207;
constexpr unsigned WM_MBUTTONUP = 0x0208;
constexpr unsigned WM_DROPFILES = 0x0233;

// Modifier bits in WParam's high word of a WM_KEYDOWN that the realisation posts, and in the
// WParam of mouse messages; the key code is the low word.
constexpr std::uintptr_t MK_SHIFT = 0x0004;
constexpr std::uintptr_t MK_CONTROL = 0x0008;
constexpr std::uintptr_t MK_ALT = 0x0020;  // not a Windows mouse flag; ours for Alt

// Mouse messages carry the position in LParam: x in the low 16 bits, y in the next 16.
constexpr std::intptr_t MakeLParam(int x, int y)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y) & 0xFFFFu) << 16 |
                                      (static_cast<std::uint32_t>(x) & 0xFFFFu));
}

constexpr unsigned VK_LEFT = 37;
constexpr unsigned VK_UP = 38;
constexpr unsigned VK_RIGHT = 39;
constexpr unsigned VK_DOWN = 40;
constexpr unsigned VK_F4 = 115;

// A key with its modifiers in one word, as menu items keep them.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

constexpr TShortCut ShortCut(unsigned key, TShiftState shift)
{
    TShortCut s = static_cast<TShortCut>(key & 0xFF);
    if (shift.Shift) s |= scShift;
    if (shift.Ctrl) s |= scCtrl;
    if (shift.Alt) s |= scAlt;
    return s;
}

constexpr std::uintptr_t KeyWParam(unsigned key, TShiftState shift)
{
    std::uintptr_t mods = (shift.Shift ? MK_SHIFT : 0) | (shift.Ctrl ? MK_CONTROL : 0) | (shift.Alt ? MK_ALT : 0);
    return (mods << 16) | (key & 0xFFFF);
}
