// The window, context and message source over SDL2. SDL events are translated into the window
// messages of the game's window procedure, so the procedure and the loop are the same as on
// Windows.
#include "MyUnit.h"
#include "OGLWnd.h"
#include "SdlMessages.h"
#include "SdlPlatform.h"
#include "platform/PlatformLayer.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

SDL_Window* WindowHandle;
SDL_GLContext RenderContext;
bool QuitPosted;
int ClientWidth = 800;
int ClientHeight = 600;

// A set-up step that failed: the report names SDL's reason too.
void ReportSetUpFailure(const char* Text) {
  ReportError(std::string(Text) + " (" + SDL_GetError() + ")");
}

class TSdlMessagePump final : public TMessagePump {
public:
  std::uint32_t TickCount() override { return SDL_GetTicks(); }

  bool Peek(TMessage& Message) override {
    SDL_Event Event;
    while (SDL_PollEvent(&Event)) {
      if (TranslateSdlEvent(Event, WindowHandle, Message)) {
        return true;
      }
    }
    // As on Windows, a posted quit is seen once nothing else is waiting.
    if (QuitPosted) {
      QuitPosted = false;
      Message = TMessage{WindowHandle, WM_QUIT, 0, 0};
      return true;
    }
    return false;
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
  for (int Depth : {static_cast<int>(Bits), 24, 16}) {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, Depth);
    WindowHandle = SDL_CreateWindow("kelto", 0, 0, ClientWidth, ClientHeight,
                                    SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (WindowHandle != nullptr) {
      return true;
    }
  }
  ReportSetUpFailure("ChoosePixelFormat failed");
  return false;
}

// Undoes a creation that stopped half-way, so that a failed start leaves nothing set up.
void ReleaseWindow() {
  if (RenderContext != nullptr) {
    SDL_GL_MakeCurrent(WindowHandle, nullptr);
    SDL_GL_DeleteContext(RenderContext);
    RenderContext = nullptr;
  }
  if (WindowHandle != nullptr) {
    SDL_DestroyWindow(WindowHandle);
    WindowHandle = nullptr;
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace

TPlatform& PlatformLayer() {
  static TSdlPlatform Layer;
  return Layer;
}

TMessagePump& TSdlPlatform::MessagePump() {
  return Pump;
}

TLResult TSdlPlatform::DefaultWindowProc(TWindowHandle, std::uint32_t, TWParam, TLParam) {
  return 0;
}

void TSdlPlatform::PostQuitMessage(int) {
  QuitPosted = true;
}

void TSdlPlatform::ShowErrorBox(const std::string& Text) {
  // Without a display there is nowhere to show it; standard error has the report already.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", Text.c_str(), nullptr);
}

bool TSdlPlatform::CreateGameWindow(std::int32_t Width, std::int32_t Height) {
  // No capture: a button released outside the window is not reported to it.
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  // Closing the window asks the game (WM_CLOSE) instead of quitting SDL directly.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  ClientWidth = Width;
  ClientHeight = Height;
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
  // The game's own pacing sets its speed, not the display's refresh.
  SDL_GL_SetSwapInterval(0);
  SDL_RaiseWindow(WindowHandle);
  SDL_SetWindowInputFocus(WindowHandle);
  SDL_ShowWindow(WindowHandle);
  // Showing the window sends no size message here, so the projection is set now.
  ResizeView(Width, Height);
  if (OnStartUp != nullptr) {
    OnStartUp();
  }
  return true;
}

void TSdlPlatform::SwapWindowBuffers() {
  SDL_GL_SwapWindow(WindowHandle);
}

bool TSdlPlatform::HasCurrentContext() {
  return SDL_GL_GetCurrentContext() != nullptr;
}

void TSdlPlatform::DestroyGameWindow() {
  if (RenderContext != nullptr) {
    SDL_GL_MakeCurrent(WindowHandle, nullptr);
    SDL_GL_DeleteContext(RenderContext);
    RenderContext = nullptr;
  }
  // SDL has no destroy message of its own: the window procedure hears it here, with the context
  // already gone, as on Windows.
  if (WindowHandle != nullptr) {
    WindowProc(WindowHandle, WM_DESTROY, 0, 0);
    SDL_DestroyWindow(WindowHandle);
    WindowHandle = nullptr;
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
