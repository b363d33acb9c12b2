// The window, context and message source over SDL2. SDL events are translated into the window
// messages of the game's window procedure, so the procedure and the loop are the same as on
// Windows. Game controllers (SDL's own database of pads) join the same messages.
#include "FontGlyphs.h"
#include "FontUnit.h"
#include "Gamepad.h"
#include "GlApi.h"
#include "MyUnit.h"
#include "OGLWnd.h"
#include "SdlMessages.h"
#include "SoundSdl.h"
#include "platform/PlatformLayer.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

SDL_Window* WindowHandle;
SDL_GLContext RenderContext;
#ifdef KELTO_GLES
TGlesContext* LayerContext;
#endif
bool QuitPosted;
int RequestedWidth = 800;
int RequestedHeight = 600;
// Fullscreen as asked for, and the window's place and size to give back when leaving it.
bool Fullscreen;
SDL_Rect Windowed;
bool WindowedMaximised;
std::vector<SDL_GameController*> Pads;
TPadFeed PadFeed;

// A set-up step that failed: the report names SDL's reason too.
void ReportSetUpFailure(const char* Text) {
  ReportError(std::string(Text) + " (" + SDL_GetError() + ")");
}

// Desktop fullscreen: the display keeps its mode and the window covers it.
void SwitchFullscreen(bool On) {
  if (WindowHandle == nullptr) {
    Fullscreen = On;
    return;
  }
  if (On == Fullscreen) {
    return;
  }
  if (On) {
    SDL_Rect Display;
    const int DisplayIndex = SDL_GetWindowDisplayIndex(WindowHandle);
    if (DisplayIndex < 0 || SDL_GetDisplayBounds(DisplayIndex, &Display) != 0) {
      std::fprintf(stderr, "kelto: fullscreen is not available (%s)\n", SDL_GetError());
      return;
    }
    SDL_GetWindowPosition(WindowHandle, &Windowed.x, &Windowed.y);
    SDL_GetWindowSize(WindowHandle, &Windowed.w, &Windowed.h);
    WindowedMaximised = (SDL_GetWindowFlags(WindowHandle) & SDL_WINDOW_MAXIMIZED) != 0;
    // The window covers the display first. A window manager then makes it fullscreen proper;
    // without one (a bare X server) nobody else would move it, and should the request be refused
    // the window still covers the display.
    SDL_SetWindowPosition(WindowHandle, Display.x, Display.y);
    SDL_SetWindowSize(WindowHandle, Display.w, Display.h);
    SDL_SetWindowFullscreen(WindowHandle, SDL_WINDOW_FULLSCREEN_DESKTOP);
    Fullscreen = true;
  } else {
    SDL_SetWindowFullscreen(WindowHandle, 0);
    Fullscreen = false;
    // A window manager puts the window back by itself; without one nobody does.
    SDL_SetWindowSize(WindowHandle, Windowed.w, Windowed.h);
    SDL_SetWindowPosition(WindowHandle, Windowed.x, Windowed.y);
    if (WindowedMaximised) {
      SDL_MaximizeWindow(WindowHandle);
    }
  }
  // The size changes now; the window procedure hears of it at once, as Windows would tell it while
  // the window is being resized. The size event that follows repeats it.
  int Width = 0;
  int Height = 0;
  SDL_GetWindowSize(WindowHandle, &Width, &Height);
  WindowProc(WindowHandle, WM_SIZE, 0, SizeForWindowProc(Fullscreen, MakeLParam(Width, Height)));
}

float AxisOf(SDL_GameController* Pad, SDL_GameControllerAxis Axis) {
  return std::max(-1.0f, SDL_GameControllerGetAxis(Pad, Axis) / 32767.0f);
}

TPadState ReadPads(std::uint32_t) {
  TPadState All;
  for (SDL_GameController* Pad : Pads) {
    TPadState One;
    One.LeftX = AxisOf(Pad, SDL_CONTROLLER_AXIS_LEFTX);
    One.LeftY = AxisOf(Pad, SDL_CONTROLLER_AXIS_LEFTY);
    One.RightX = AxisOf(Pad, SDL_CONTROLLER_AXIS_RIGHTX);
    One.RightY = AxisOf(Pad, SDL_CONTROLLER_AXIS_RIGHTY);
    One.LeftTrigger = AxisOf(Pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    One.RightTrigger = AxisOf(Pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    const auto Held = [Pad](SDL_GameControllerButton Button) {
      return SDL_GameControllerGetButton(Pad, Button) != 0;
    };
    One.Up = Held(SDL_CONTROLLER_BUTTON_DPAD_UP);
    One.Down = Held(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    One.Left = Held(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    One.Right = Held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    One.A = Held(SDL_CONTROLLER_BUTTON_A);
    One.Start = Held(SDL_CONTROLLER_BUTTON_START);
    One.RightShoulder = Held(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
    All = CombinePads(All, One);
  }
  return All;
}

void ClosePads() {
  for (SDL_GameController* Pad : Pads) {
    SDL_GameControllerClose(Pad);
  }
  Pads.clear();
}

// Events the platform layer keeps for itself: pads and sound devices coming and going, the
// fullscreen keys.
bool TakeOwnEvent(const SDL_Event& Event) {
  switch (Event.type) {
  case SDL_CONTROLLERDEVICEADDED:
    // A pad that cannot be opened is simply not used.
    if (SDL_GameController* Pad = SDL_GameControllerOpen(Event.cdevice.which)) {
      Pads.push_back(Pad);
    }
    return true;
  case SDL_CONTROLLERDEVICEREMOVED:
    // The pad's state goes with it: the next reading releases whatever it held.
    std::erase_if(Pads, [&Event](SDL_GameController* Pad) {
      const bool Gone =
          SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(Pad)) == Event.cdevice.which;
      if (Gone) {
        SDL_GameControllerClose(Pad);
      }
      return Gone;
    });
    return true;
  default:
    if (TakeSoundDeviceEvent(Event)) {
      return true;
    }
    if (!IsFullscreenSwitch(Event)) {
      return false;
    }
    if (Event.type == SDL_KEYDOWN && Event.key.repeat == 0) {
      SwitchFullscreen(!Fullscreen);
    }
    return true;
  }
}

class TSdlMessagePump final : public TMessagePump {
public:
  std::uint32_t TickCount() override { return SDL_GetTicks(); }

  bool Peek(TMessage& Message) override {
    SDL_Event Event;
    while (SDL_PollEvent(&Event)) {
      if (!TakeOwnEvent(Event) && TranslateSdlEvent(Event, WindowHandle, Message)) {
        // Positions and sizes as the game's view has them (scaled in fullscreen).
        Message.lParam = ParamForWindowProc(Fullscreen, Message.Code, Message.lParam);
        return true;
      }
    }
    // As on Windows, a posted quit is seen once nothing else is waiting.
    if (QuitPosted) {
      QuitPosted = false;
      Message = TMessage{WindowHandle, WM_QUIT, 0, 0};
      return true;
    }
    return PadFeed.Next(Message, WindowHandle, SDL_GetTicks(), ReadPads);
  }

  void Dispatch(const TMessage& Message) override {
    WindowProc(Message.Window, Message.Code, Message.wParam, Message.lParam);
  }

  void Wait(std::uint32_t TimeoutMs) override {
    if (QuitPosted) {
      return;
    }
    if (TimeoutMs == Infinite) {
      SDL_WaitEvent(nullptr);
    } else {
      SDL_WaitEventTimeout(nullptr, static_cast<int>(TimeoutMs));
    }
  }

  void SetTitle(const std::string& Title) override {
    if (WindowHandle != nullptr) {
      SDL_SetWindowTitle(WindowHandle, Title.c_str());
    }
  }
};

TSdlMessagePump Pump;

// Asks for the pixel format: double-buffered RGBA with Bits of depth. SDL fixes the format when
// the window is created, so choosing the format creates the hidden window; the depth request falls
// back to the closest the display offers.
bool ApplyPixelFormat(std::uint8_t Bits) {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
#ifdef KELTO_GLES
  // OpenGL ES 3.0 under the layer. SDL's default request is a desktop 2.1; a higher ES version
  // asked for beforehand stands.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
  int Major = 0;
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, &Major);
  if (Major < 3) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  }
#endif
  for (int Depth : {static_cast<int>(Bits), 24, 16}) {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, Depth);
    WindowHandle = SDL_CreateWindow("kelto", 0, 0, RequestedWidth, RequestedHeight,
                                    SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (WindowHandle != nullptr) {
      return true;
    }
  }
  ReportSetUpFailure("ChoosePixelFormat failed");
  return false;
}

void ReleaseContext() {
#ifdef KELTO_GLES
  GlesDeleteContext(std::exchange(LayerContext, nullptr),
                    SDL_GL_GetCurrentContext() == RenderContext);
#endif
  if (RenderContext != nullptr) {
    SDL_GL_MakeCurrent(WindowHandle, nullptr);
    SDL_GL_DeleteContext(RenderContext);
    RenderContext = nullptr;
  }
}

// Undoes a creation that stopped half-way, so that a failed start leaves nothing set up.
void ReleaseWindow() {
  ReleaseContext();
  if (WindowHandle != nullptr) {
    SDL_DestroyWindow(WindowHandle);
    WindowHandle = nullptr;
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace

TPlatformLayer& PlatformLayer() {
  static TPlatformLayer Layer;
  return Layer;
}

TMessagePump& TPlatformLayer::MessagePump() {
  return Pump;
}

TLResult TPlatformLayer::DefaultWindowProc(TWindowHandle, std::uint32_t, TWParam, TLParam) {
  return 0;
}

void TPlatformLayer::PostQuitMessage(int) {
  QuitPosted = true;
}

void TPlatformLayer::SetFullscreen(bool On) {
  SwitchFullscreen(On);
}

bool TPlatformLayer::IsFullscreen() {
  return Fullscreen;
}

bool TPlatformLayer::CreateGameWindow(std::int32_t Width, std::int32_t Height) {
  // No capture: a button released outside the window is not reported to it.
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  // Closing the window asks the game (WM_CLOSE) instead of quitting SDL directly.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  RequestedWidth = Width;
  RequestedHeight = Height;
  Windowed = SDL_Rect{0, 0, Width, Height};
  WindowedMaximised = false;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    ReportSetUpFailure("Unable to open a window");
    return false;
  }
  // Without a display SDL falls back to drivers that draw nowhere; a game nobody can see is a
  // failure, not a run.
  const char* Driver = SDL_GetCurrentVideoDriver();
  if (Driver == nullptr || std::strcmp(Driver, "offscreen") == 0 ||
      std::strcmp(Driver, "dummy") == 0) {
    SDL_SetError("no display (video driver %s)", Driver != nullptr ? Driver : "none");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    ReportSetUpFailure("Unable to open a window");
    return false;
  }
  if (!ApplyPixelFormat(32)) {
    ReleaseWindow();
    return false;
  }
  RenderContext = SDL_GL_CreateContext(WindowHandle);
  if (RenderContext == nullptr) {
    ReportSetUpFailure("Unable to create the OpenGL context");
    ReleaseWindow();
    return false;
  }
  if (SDL_GL_MakeCurrent(WindowHandle, RenderContext) != 0) {
    ReportSetUpFailure("Unable to make the OpenGL context current");
    ReleaseWindow();
    return false;
  }
#ifdef KELTO_GLES
  LayerContext = GlesCreateContext();
  if (LayerContext == nullptr) {
    SDL_SetError("its shaders failed");
    ReportSetUpFailure("Unable to create the OpenGL context");
    ReleaseWindow();
    return false;
  }
  GlesMakeCurrent(LayerContext);
#endif
  // The game's own pacing sets its speed, not the display's refresh.
  SDL_GL_SetSwapInterval(0);
  SDL_RaiseWindow(WindowHandle);
  SDL_SetWindowInputFocus(WindowHandle);
  SDL_ShowWindow(WindowHandle);
  // A game asked to start in fullscreen opens its window and switches at once, so leaving
  // fullscreen gives the window it would have had.
  if (Fullscreen) {
    Fullscreen = false;
    SwitchFullscreen(true);
  }
  // Pads are welcome but not needed: without the subsystem the game simply has none.
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  // Showing the window sends no size message here, so the projection is set now.
  int ShownWidth = Width;
  int ShownHeight = Height;
  SDL_GetWindowSize(WindowHandle, &ShownWidth, &ShownHeight);
  StartUpInShownWindow(Fullscreen, MakeLParam(ShownWidth, ShownHeight));
  return true;
}

void TPlatformLayer::MakeGlyphLists(std::uint32_t Base, std::int32_t Count) {
  TGlyphSet Glyphs;
  if (RenderGlyphs(Glyphs)) {
    RecordGlyphLists(Base, Count, Glyphs);
  }
}

void TPlatformLayer::SwapWindowBuffers() {
#ifdef KELTO_GLES
  // The layer's last batch goes out before the frame is shown.
  glFlush();
#endif
  SDL_GL_SwapWindow(WindowHandle);
}

bool TPlatformLayer::HasCurrentContext() {
  return SDL_GL_GetCurrentContext() != nullptr;
}

void TPlatformLayer::DestroyGameWindow() {
  ReleaseContext();
  // SDL has no destroy message of its own: the window procedure hears it here, with the context
  // already gone, as on Windows.
  if (WindowHandle != nullptr) {
    WindowProc(WindowHandle, WM_DESTROY, 0, 0);
  }
  ClosePads();
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  ReleaseWindow();
}
