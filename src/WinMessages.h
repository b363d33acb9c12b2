// The window-message vocabulary of the game: the messages, codes and virtual keys of Windows, so
// the window procedure reads the same on every window system. Each platform layer translates its
// own events into these (on Windows they are the system's own numbers).
#pragma once

#include <cstdint>

using TWindowHandle = void*;
using TWParam = std::uintptr_t;
using TLParam = std::intptr_t;
using TLResult = std::intptr_t;

// One message as the loop removes it from the queue.
struct TMessage {
  TWindowHandle Window;
  std::uint32_t Code; // WM_...
  TWParam wParam;
  TLParam lParam;
};

// <windows.h>, where a Windows platform file includes it first, defines the same names as macros
// with the same values.
#ifndef WM_CREATE
constexpr std::uint32_t WM_CREATE = 0x0001;
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;
constexpr std::uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
#endif

#ifndef VK_ESCAPE
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_F1 = 112;
constexpr int VK_F10 = 121;
constexpr int VK_F11 = 122;
constexpr int VK_F12 = 123;
#endif

// Two 16-bit words packed as a message parameter (low word first), as mouse and size messages
// carry them.
constexpr TLParam MakeLParam(int Low, int High) {
  return static_cast<TLParam>((static_cast<std::uint32_t>(High & 0xFFFF) << 16) |
                              static_cast<std::uint32_t>(Low & 0xFFFF));
}
constexpr std::uint16_t LowWord(TLParam Value) {
  return static_cast<std::uint16_t>(Value & 0xFFFF);
}
constexpr std::uint16_t HighWord(TLParam Value) {
  return static_cast<std::uint16_t>((Value >> 16) & 0xFFFF);
}
