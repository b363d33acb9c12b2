// What the Win32 layer shares between its files: the window's device context, the system's error
// texts, the XInput pads and the window procedure the class registers.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "Gamepad.h"
#include "platform/PlatformLayer.h"

#include <string>

// The window's own device context (the class has CS_OWNDC), kept from creation to teardown.
extern HDC DeviceContext;

// The system's text for an error code, as one line without the closing full stop.
std::string SystemErrorText(DWORD Error);

// Every connected XInput pad as one reading at tick Now; no pads when XInput is missing.
TPadState ReadXInputPads(std::uint32_t Now);

// The window procedure the class registers: the game's own, called with the system's types.
LRESULT CALLBACK GameWindowProc(HWND Window, UINT Message, WPARAM wParam, LPARAM lParam);
