// The game window's input state, the window procedure, the window projection and the paced main
// loop. The window itself comes from the installed platform (Platform.h).
#pragma once

#include "Platform.h"
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

using TProc = void (*)();

// Start-up and shutdown procedures handed to RunMainLoop: the platform calls OnStartUp at the end
// of window creation, WindowProc calls OnShutdown on WM_DESTROY.
extern TProc OnStartUp;
extern TProc OnShutdown;

// Viewport and window projection for a client area: origin top left, y down, one unit per pixel.
void ResizeView(std::int32_t Width, std::int32_t Height);

TLResult WindowProc(TWindowHandle Window, std::uint32_t Message, TWParam wParam, TLParam lParam);

// Creates the window, runs the paced loop until Done, tears the window down. Returns false
// when the window could not be set up (nothing else has run then). An exception that escapes
// StartUp, a Frame or ShutDown ends the program with a report (FatalCurrentException).
bool RunMainLoop(TProc StartUp, TProc Frame, TProc ShutDown);

// Runs passes until Done: one message per pass, else a frame when active and more than 10 ms
// have passed since the previous frame ended, else a wait for the next message or deadline.
// StartTick opens the first frame-rate interval.
void RunFrameLoop(TMessagePump& Pump, TProc Frame, std::uint32_t StartTick);

// Resets the input state and the loop's private state (for tests and tools).
void ResetWindowState();
// Whether frames may run (set by WM_ACTIVATEAPP).
bool IsAppActive();
// The title shown for a frame rate.
std::string FpsTitle(std::int32_t FramesPerSecond);
