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

// The key that switches sound on and off. It is no key of the game: the input state never holds
// it, so neither the world nor a recorded demo ever sees it.
inline constexpr std::uint8_t SoundKey = 'M';
// Run by WindowProc when the sound key goes down (not again while it is held).
extern TProc OnSoundKey;

// Start-up and shutdown procedures handed to RunMainLoop: the platform calls OnStartUp at the end
// of window creation, WindowProc calls OnShutdown on WM_DESTROY.
extern TProc OnStartUp;
extern TProc OnShutdown;

// Viewport and window projection for a client area: origin top left, y down, one unit per pixel.
// While the view is scaled (fullscreen) the projection keeps the logical size it is given and the
// viewport is the fitted rectangle of the real drawing area.
void ResizeView(std::int32_t Width, std::int32_t Height);

// The client area as the window procedure last sized it: the window's own pixels in a window,
// the view's logical 800 x 600 in fullscreen.
std::int32_t ClientWidth();
std::int32_t ClientHeight();

// A rectangle of real window pixels, counted from the top-left corner.
struct TPixelRect {
  std::int32_t X, Y, Width, Height;
};

// Where a ViewWidth x ViewHeight view goes in an output of OutputWidth x OutputHeight real pixels:
// scaled by the largest factor that fits, kept in proportion, centred (bars left and right, or
// above and below). Smaller outputs scale it down the same way.
TPixelRect FitView(std::int32_t OutputWidth, std::int32_t OutputHeight, std::int32_t ViewWidth,
                   std::int32_t ViewHeight);

// Fullscreen: the view is scaled into a drawing area of OutputWidth x OutputHeight real pixels.
// 0 x 0 turns the scaling off (a window: one unit per real pixel).
void SetScaledOutput(std::int32_t OutputWidth, std::int32_t OutputHeight);

// What the window procedure hears, given what the window system reports in real pixels. While the
// view is scaled: a size message carries the view's logical size (and places the view in the
// reported area), and a pointer position is mapped back into the view, clamped to its edges.
// Otherwise both pass unchanged. Positions are read as signed 16-bit words.
TLParam SizeForWindowProc(bool Fullscreen, TLParam RealSize);
TLParam PointerForWindowProc(TLParam RealPosition);

// A message's lParam as the window procedure hears it: SizeForWindowProc for a size,
// PointerForWindowProc for the pointer's messages, anything else unchanged.
TLParam ParamForWindowProc(bool Fullscreen, std::uint32_t Message, TLParam Real);

// The last step of a window's creation, once it is shown with its context current: sets the
// projection for the area it shows (Shown, in real pixels) and runs OnStartUp.
void StartUpInShownWindow(bool Fullscreen, TLParam Shown);

TLResult WindowProc(TWindowHandle Window, std::uint32_t Message, TWParam wParam, TLParam lParam);

// Creates the window, has the platform run the paced loop until Done and then tear the window
// down (TPlatform::RunLoop; in a browser that goes on after this returns). Returns false when the
// window could not be set up (nothing else has run then). An exception that escapes
// StartUp, a Frame or ShutDown ends the program with a report (FatalCurrentException).
bool RunMainLoop(TProc StartUp, TProc Frame, TProc ShutDown);

// The paced loop, one pass at a time: one message per pass, else a frame when active and more
// than 10 ms have passed since the previous frame ended. Between passes the loop's owner sleeps
// for as long as the pass says: the desktop in its message pump, a browser in its own event loop.
class TFrameLoop {
public:
  // StartTick opens the first frame-rate interval.
  TFrameLoop(TMessagePump& Pump, TProc Frame, std::uint32_t StartTick);
  // Runs one pass. Returns how long to sleep before the next one unless a message arrives first:
  // 0 for not at all, TMessagePump::Infinite for until a message arrives.
  std::uint32_t Pass();
  TMessagePump& Pump() { return MessagePump; }

private:
  TMessagePump& MessagePump;
  TProc Frame;
  std::uint32_t LastFrameTick = 0;
  std::uint32_t FpsStartTick;
  std::int32_t FrameCount = 0;
};

// Runs Loop's passes until Done, sleeping in its pump between them.
void RunPasses(TFrameLoop& Loop);
// RunPasses over a loop of its own.
void RunFrameLoop(TMessagePump& Pump, TProc Frame, std::uint32_t StartTick);

// Resets the input state and the loop's private state (for tests and tools).
void ResetWindowState();
// Whether frames may run (set by WM_ACTIVATEAPP).
bool IsAppActive();
// The title shown for a frame rate.
std::string FpsTitle(std::int32_t FramesPerSecond);
