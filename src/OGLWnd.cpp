// The window module's half that is the same on every window system: the input state, the window
// procedure, the window projection and the paced main loop.
#include "OGLWnd.h"

#include "GlApi.h"
#include "MyUnit.h"
#include "UTypes.h"

#include <algorithm>
#include <cstring>

bool Keys[256];
std::int32_t MouseX;
std::int32_t MouseY;
bool MouseLeft;
bool MouseRight;
bool Done;

TProc OnStartUp;
TProc OnShutdown;

namespace {

bool AppActive;

// Milliseconds from Earlier to Later on a 32-bit counter, correct across its wrap-around.
std::uint32_t TicksBetween(std::uint32_t Earlier, std::uint32_t Later) {
  return Later - Earlier;
}

} // namespace

void ResetWindowState() {
  std::fill(std::begin(Keys), std::end(Keys), false);
  MouseX = MouseY = 0;
  MouseLeft = MouseRight = false;
  Done = false;
  AppActive = false;
}

bool IsAppActive() {
  return AppActive;
}

std::string FpsTitle(std::int32_t FramesPerSecond) {
  return " [ FPS - " + std::to_string(FramesPerSecond) + " ] ";
}

void ResizeView(std::int32_t Width, std::int32_t Height) {
  if (Height == 0) {
    Height = 1;
  }
  glViewport(0, 0, Width, Height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, Width, Height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

TLResult WindowProc(TWindowHandle Window, std::uint32_t Message, TWParam wParam, TLParam lParam) {
  switch (Message) {
  case WM_CREATE:
    return 0;
  case WM_DESTROY:
    if (OnShutdown != nullptr) {
      OnShutdown();
    }
    return 0;
  case WM_SIZE:
    ResizeView(LowWord(lParam), HighWord(lParam));
    return 0;
  case WM_CLOSE:
    // The window stays until the loop has ended; teardown destroys it.
    Platform().PostQuitMessage(0);
    return 0;
  case WM_ACTIVATEAPP:
    // 2 counts as active too, as Windows' own table of activation values is read here; kept on
    // purpose.
    AppActive = wParam == 1 || wParam == 2;
    return 0;
  case WM_KEYDOWN:
    Keys[wParam & 0xFF] = true;
    return 0;
  case WM_KEYUP:
    Keys[wParam & 0xFF] = false;
    return 0;
  case WM_MOUSEMOVE:
    MouseX = LowWord(lParam);
    MouseY = HighWord(lParam);
    return 0;
  case WM_LBUTTONDOWN:
    MouseLeft = true;
    return 0;
  case WM_LBUTTONUP:
    MouseLeft = false;
    return 0;
  case WM_RBUTTONDOWN:
    MouseRight = true;
    return 0;
  case WM_RBUTTONUP:
    MouseRight = false;
    return 0;
  default:
    return Platform().DefaultWindowProc(Window, Message, wParam, lParam);
  }
}

void RunFrameLoop(TMessagePump& Pump, TProc Frame, std::uint32_t StartTick) {
  std::uint32_t LastFrameTick = 0;
  std::uint32_t FpsStartTick = StartTick;
  std::int32_t FrameCount = 0;
  TMessage Message;
  while (!Done) {
    if (Pump.Peek(Message)) {
      if (Message.Code == WM_QUIT) {
        Done = true;
      } else {
        Pump.Dispatch(Message);
      }
      continue;
    }
    if (!AppActive) {
      // Nothing can happen until a message arrives (activation among them).
      Pump.Wait(TMessagePump::Infinite);
      continue;
    }
    const std::uint32_t Elapsed = TicksBetween(LastFrameTick, Pump.TickCount());
    if (Elapsed <= 10) {
      // Sleep until the frame is due, or until a message needs handling first.
      Pump.Wait(11 - Elapsed);
      continue;
    }
    const std::uint32_t FrameTick = Pump.TickCount();
    ++FrameCount;
    Frame();
    const std::uint32_t Interval = TicksBetween(FpsStartTick, FrameTick);
    if (Interval > 1000) {
      const auto FramesPerSecond =
          static_cast<std::int32_t>(static_cast<double>(FrameCount) * 1000.0 / Interval);
      Pump.SetTitle(FpsTitle(FramesPerSecond));
      FpsStartTick = FrameTick;
      FrameCount = 0;
    }
    LastFrameTick = Pump.TickCount();
  }
}

namespace {

TProc GameStartUp;
TProc GameFrame;
TProc GameShutDown;

// Runs one of the game's procedures. The window system calls some of them from inside its own
// code (Windows runs the window procedure, and with it the shutdown, inside DestroyWindow), where
// an exception must not pass; so whatever escapes ends the program here, with a report.
template <TProc* Proc> void Guarded() {
  try {
    if (*Proc != nullptr) {
      (*Proc)();
    }
  } catch (...) {
    FatalCurrentException();
  }
}

} // namespace

bool RunMainLoop(TProc StartUp, TProc Frame, TProc ShutDown) {
  Done = false;
  GameStartUp = StartUp;
  GameFrame = Frame;
  GameShutDown = ShutDown;
  OnStartUp = Guarded<&GameStartUp>;
  OnShutdown = Guarded<&GameShutDown>;
  TMessagePump& Pump = Platform().MessagePump();
  const std::uint32_t StartTick = Pump.TickCount();
  if (!Platform().CreateGameWindow(ViewWidth, ViewHeight)) {
    return false;
  }
  RunFrameLoop(Pump, Guarded<&GameFrame>, StartTick);
  Platform().DestroyGameWindow();
  return true;
}
