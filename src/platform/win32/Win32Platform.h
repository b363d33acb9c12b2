// The game's platform over Win32: the window, WGL context and messages (user32, opengl32), GDI's
// pixel format and font, the multimedia timer and the Windows file calls.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "Gamepad.h"
#include "Platform.h"

#include <string>

// The window's own device context (the class has CS_OWNDC), kept from creation to teardown.
extern HDC DeviceContext;

// The system's text for an error code, as one line without the closing full stop.
std::string SystemErrorText(DWORD Error);

// Every connected XInput pad as one reading at tick Now; no pads when XInput is missing.
TPadState ReadXInputPads(std::uint32_t Now);

class TWin32Platform : public TPlatform {
public:
  bool CreateGameWindow(std::int32_t Width, std::int32_t Height) override;
  void DestroyGameWindow() override;
  void SwapWindowBuffers() override;
  bool HasCurrentContext() override;
  TMessagePump& MessagePump() override;
  void SetFullscreen(bool On) override;
  TLResult DefaultWindowProc(TWindowHandle Window, std::uint32_t Message, TWParam wParam,
                             TLParam lParam) override;
  void PostQuitMessage(int ExitCode) override;
  void MakeGlyphLists(std::uint32_t Base, std::int32_t Count) override;
  bool ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                           std::string& ErrorText) override;
  void ShowErrorBox(const std::string& Text) override;
};

// The window procedure the class registers: the game's own, called with the system's types.
LRESULT CALLBACK GameWindowProc(HWND Window, UINT Message, WPARAM wParam, LPARAM lParam);
