// The game window, its OpenGL context, the input state fed by window messages and the paced
// main loop.
#pragma once

#include "WinMessages.h"

#include <cstdint>
#include <string>

// --- Input state, written by WindowProc ---
extern bool Keys[256];
extern std::int32_t MouseX;
extern std::int32_t MouseY;
extern bool MouseLeft;
extern bool MouseRight;
// The loop ends when this is set at the top of a pass.
extern bool Done;
// The window's drawing surface (an opaque handle outside Windows).
extern HDC DeviceContext;

using TProc = void (*)();

// Window and context (one implementation per window system).
bool CreateGameWindow(std::int32_t Width, std::int32_t Height);
bool ApplyPixelFormat(std::uint8_t Bits);
void DestroyGameWindow();
// Viewport and window projection for a client area: origin top left, y down, one unit per pixel.
void ResizeView(std::int32_t Width, std::int32_t Height);
// Shows the present frame (SwapBuffers on the window's surface).
void SwapWindowBuffers();
// True while a rendering context is current on this thread.
bool HasCurrentContext();
// A message box with caption "Error" and the same line on standard error.
void ShowErrorBox(const char* Text, bool IconError);

#ifdef _WIN32
LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM wParam, LPARAM lParam);
#else
LRESULT WindowProc(HWND Window, UINT Message, WPARAM wParam, LPARAM lParam);
#endif

// Creates the window, runs the paced loop until Done, tears the window down. Returns false
// when the window could not be set up (nothing else has run then).
bool RunMainLoop(TProc StartUp, TProc Frame, TProc ShutDown);

// --- The paced loop, over a message source; the window system supplies the real one ---

class TMessagePump {
public:
  static constexpr std::uint32_t Infinite = 0xFFFFFFFFu;
  virtual ~TMessagePump() = default;
  // Millisecond counter (32 bits, wraps).
  virtual std::uint32_t TickCount() = 0;
  // Removes the next pending message, if any.
  virtual bool Peek(MSG& Message) = 0;
  // Translates and dispatches a message to the window procedure.
  virtual void Dispatch(const MSG& Message) = 0;
  // Blocks until a message is pending or TimeoutMs has passed (Infinite: no limit).
  virtual void Wait(std::uint32_t TimeoutMs) = 0;
  virtual void SetTitle(const std::string& Title) = 0;
};

// The window system's message source (valid after CreateGameWindow).
TMessagePump& PlatformMessagePump();

// Runs passes until Done: one message per pass, else a frame when active and more than 10 ms
// have passed since the previous frame ended, else a wait for the next message or deadline.
// StartTick opens the first frame-rate interval.
void RunFrameLoop(TMessagePump& Pump, TProc Frame, std::uint32_t StartTick);

// Resets the input state and the loop's private state (for tests).
void ResetWindowState();
// Start-up and shutdown procedures handed to RunMainLoop; the window system calls OnStartUp at the
// end of window creation, WindowProc calls OnShutdown on WM_DESTROY.
extern TProc OnStartUp;
extern TProc OnShutdown;
// Whether frames may run (set by WM_ACTIVATEAPP).
bool IsAppActive();
// The title shown for a frame rate.
std::string FpsTitle(std::int32_t FramesPerSecond);
