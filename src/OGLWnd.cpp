// The window module's half that is the same on every window system: the input state, the window
// procedure, the window projection and the paced main loop.
#include "OGLWnd.h"

#include "GlApi.h"
#include "MyUnit.h"
#include "UTypes.h"

#include <algorithm>
#include <cstring>
#include <optional>

bool Keys[256];
std::int32_t MouseX;
std::int32_t MouseY;
bool MouseLeft;
bool MouseRight;
bool Done;

TProc OnStartUp;
TProc OnShutdown;
TProc OnSoundKey;

namespace {

bool AppActive;
bool SoundKeyHeld;
std::int32_t LogicalWidth = ViewWidth;
std::int32_t LogicalHeight = ViewHeight;
// The real drawing area while the view is scaled into it; 0 x 0 in a window.
std::int32_t OutputWidth;
std::int32_t OutputHeight;

// A 16-bit word of a message parameter read as the signed position it stands for.
std::int32_t SignedWord(std::uint16_t Word) {
  return static_cast<std::int16_t>(Word);
}

// Floor of A * B / C for C > 0, in exact integers.
std::int64_t ScaleDown(std::int64_t A, std::int64_t B, std::int64_t C) {
  const std::int64_t Product = A * B;
  return Product >= 0 ? Product / C : -((-Product + C - 1) / C);
}

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
  SoundKeyHeld = false;
}

bool IsAppActive() {
  return AppActive;
}

std::string FpsTitle(std::int32_t FramesPerSecond) {
  return " [ FPS - " + std::to_string(FramesPerSecond) + " ] ";
}

std::int32_t ClientWidth() {
  return LogicalWidth;
}

std::int32_t ClientHeight() {
  return LogicalHeight;
}

TPixelRect FitView(std::int32_t OutputWidth, std::int32_t OutputHeight, std::int32_t ViewWidth,
                   std::int32_t ViewHeight) {
  if (OutputWidth <= 0 || OutputHeight <= 0 || ViewWidth <= 0 || ViewHeight <= 0) {
    return TPixelRect{0, 0, std::max(OutputWidth, 0), std::max(OutputHeight, 0)};
  }
  // Compared as integers, so a view of exactly the output's proportions fills it to the pixel.
  const std::int64_t Across = std::int64_t{OutputWidth} * ViewHeight;
  const std::int64_t Down = std::int64_t{OutputHeight} * ViewWidth;
  std::int32_t Width = OutputWidth;
  std::int32_t Height = OutputHeight;
  if (Across <= Down) {
    Height = static_cast<std::int32_t>((Across + ViewWidth / 2) / ViewWidth);
  } else {
    Width = static_cast<std::int32_t>((Down + ViewHeight / 2) / ViewHeight);
  }
  return TPixelRect{(OutputWidth - Width) / 2, (OutputHeight - Height) / 2, Width, Height};
}

void SetScaledOutput(std::int32_t Width, std::int32_t Height) {
  OutputWidth = Width > 0 && Height > 0 ? Width : 0;
  OutputHeight = Width > 0 && Height > 0 ? Height : 0;
}

TLParam SizeForWindowProc(bool Fullscreen, TLParam RealSize) {
  const std::int32_t Width = LowWord(RealSize);
  const std::int32_t Height = HighWord(RealSize);
  // A minimised fullscreen window has no area to scale into; it reports its 0 x 0 as a window does.
  if (!Fullscreen || Width == 0 || Height == 0) {
    SetScaledOutput(0, 0);
    return RealSize;
  }
  SetScaledOutput(Width, Height);
  return MakeLParam(ViewWidth, ViewHeight);
}

TLParam ParamForWindowProc(bool Fullscreen, std::uint32_t Message, TLParam Real) {
  switch (Message) {
  case WM_SIZE:
    return SizeForWindowProc(Fullscreen, Real);
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
    return PointerForWindowProc(Real);
  default:
    return Real;
  }
}

void StartUpInShownWindow(bool Fullscreen, TLParam Shown) {
  const TLParam Size = SizeForWindowProc(Fullscreen, Shown);
  ResizeView(LowWord(Size), HighWord(Size));
  if (OnStartUp != nullptr) {
    OnStartUp();
  }
}

TLParam PointerForWindowProc(TLParam RealPosition) {
  if (OutputWidth == 0) {
    return RealPosition;
  }
  const TPixelRect View = FitView(OutputWidth, OutputHeight, ViewWidth, ViewHeight);
  const auto Map = [](std::int32_t Real, std::int32_t Start, std::int32_t Length,
                      std::int32_t Logical) {
    return std::clamp<std::int64_t>(ScaleDown(Real - Start, Logical, Length), 0, Logical - 1);
  };
  return MakeLParam(
      static_cast<int>(Map(SignedWord(LowWord(RealPosition)), View.X, View.Width, ViewWidth)),
      static_cast<int>(Map(SignedWord(HighWord(RealPosition)), View.Y, View.Height, ViewHeight)));
}

void ResizeView(std::int32_t Width, std::int32_t Height) {
  if (Height == 0) {
    Height = 1;
  }
  LogicalWidth = Width;
  LogicalHeight = Height;
  if (OutputWidth != 0) {
    // The bars around the fitted rectangle are cleared with the frame and never drawn on.
    const TPixelRect View = FitView(OutputWidth, OutputHeight, Width, Height);
    glViewport(View.X, OutputHeight - View.Y - View.Height, View.Width, View.Height);
  } else {
    glViewport(0, 0, Width, Height);
  }
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
    SoundKeyHeld = false; // its release may go to another window
    return 0;
  case WM_KEYDOWN:
    if ((wParam & 0xFF) == SoundKey) {
      // Held keys repeat their key-down message: only the first one switches.
      if (!SoundKeyHeld && OnSoundKey != nullptr) {
        OnSoundKey();
      }
      SoundKeyHeld = true;
      return 0;
    }
    Keys[wParam & 0xFF] = true;
    return 0;
  case WM_KEYUP:
    if ((wParam & 0xFF) == SoundKey) {
      SoundKeyHeld = false;
      return 0;
    }
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

TFrameLoop::TFrameLoop(TMessagePump& Pump, TProc Frame, std::uint32_t StartTick)
    : MessagePump(Pump), Frame(Frame), FpsStartTick(StartTick) {}

std::uint32_t TFrameLoop::Pass() {
  TMessage Message;
  if (MessagePump.Peek(Message)) {
    if (Message.Code == WM_QUIT) {
      Done = true;
    } else {
      MessagePump.Dispatch(Message);
    }
    return 0;
  }
  if (!AppActive) {
    // Nothing can happen until a message arrives (activation among them).
    return TMessagePump::Infinite;
  }
  const std::uint32_t Elapsed = TicksBetween(LastFrameTick, MessagePump.TickCount());
  if (Elapsed <= 10) {
    // Sleep until the frame is due, or until a message needs handling first.
    return 11 - Elapsed;
  }
  const std::uint32_t FrameTick = MessagePump.TickCount();
  ++FrameCount;
  Frame();
  const std::uint32_t Interval = TicksBetween(FpsStartTick, FrameTick);
  if (Interval > 1000) {
    const auto FramesPerSecond =
        static_cast<std::int32_t>(static_cast<double>(FrameCount) * 1000.0 / Interval);
    MessagePump.SetTitle(FpsTitle(FramesPerSecond));
    FpsStartTick = FrameTick;
    FrameCount = 0;
  }
  LastFrameTick = MessagePump.TickCount();
  return 0;
}

void RunPasses(TFrameLoop& Loop) {
  while (!Done) {
    const std::uint32_t Sleep = Loop.Pass();
    if (Sleep != 0) {
      Loop.Pump().Wait(Sleep);
    }
  }
}

void RunFrameLoop(TMessagePump& Pump, TProc Frame, std::uint32_t StartTick) {
  TFrameLoop Loop(Pump, Frame, StartTick);
  RunPasses(Loop);
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
  // The loop outlives this call where the platform runs it from callbacks.
  static std::optional<TFrameLoop> Loop;
  Loop.emplace(Pump, Guarded<&GameFrame>, StartTick);
  Platform().RunLoop(*Loop, [] { Platform().DestroyGameWindow(); });
  return true;
}
