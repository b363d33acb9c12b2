// The game in a web browser: a WebGL 2 context on the page's canvas, the browser's keyboard, mouse,
// focus and pads turned into the window messages of the game's window procedure, and the paced
// loop's passes run from the browser's event loop. Start-up and teardown are the same as on the
// desktop; only the sleeping between passes is the browser's.
#include "Gamepad.h"
#include "GlApi.h"
#include "MyUnit.h"
#include "OGLWnd.h"
#include "WebLayer.h"
#include "platform/PlatformLayer.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string_view>
#include <utility>

extern "C" {
void kelto_schedule_passes(int DelayMs);
void kelto_game_ended();
void kelto_lock_escape(bool On);
}

namespace {

constexpr const char* Canvas = "#canvas";
// The page's canvas, standing in for the window the messages name.
TWindowHandle const CanvasWindow = nullptr;

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE RenderContext;
// The OpenGL 1.1 layer's state for that context.
TGlesContext* LayerContext;
std::int32_t WindowWidth = 800;
std::int32_t WindowHeight = 600;
bool Fullscreen;
bool QuitPosted;
// What the browser reported, in real pixels; turned into the view's terms when handed out, as
// the scaling stands at that moment.
std::deque<TMessage> Queue;
// Keys and buttons down as the game heard them, so that focus loss can release them all.
bool KeysDown[256];
bool LeftDown;
bool RightDown;
TPadFeed PadFeed;
// The loop once started, and what ends it.
TFrameLoop* Loop;
void (*EndLoop)();
// Waiting for a message rather than for a deadline.
bool Idle;

void Post(std::uint32_t Code, TWParam wParam = 0, TLParam lParam = 0) {
  Queue.push_back(TMessage{CanvasWindow, Code, wParam, lParam});
  // A loop asleep until a message arrives goes on now.
  if (Idle && Loop != nullptr) {
    Idle = false;
    kelto_schedule_passes(0);
  }
}

// The browser's key as the Windows virtual key the game knows, or 0. The layout's own Latin
// letter or digit where the key has one, so that a key is the one printed on it; otherwise the
// key's place on a US keyboard, so W A S D walk on layouts without Latin letters too.
int VirtualKeyOf(std::string_view Key, std::string_view Code) {
  if (Key.size() == 1) {
    const char c = Key[0];
    if (c >= 'a' && c <= 'z') {
      return 'A' + (c - 'a');
    }
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      return c;
    }
  }
  if (Code.size() == 4 && Code.starts_with("Key") && Code[3] >= 'A' && Code[3] <= 'Z') {
    return Code[3];
  }
  if (Code.size() == 6 && Code.starts_with("Digit") && Code[5] >= '0' && Code[5] <= '9') {
    return Code[5];
  }
  if (Code.size() >= 2 && Code.size() <= 3 && Code[0] == 'F') {
    const int Number = std::atoi(std::string(Code.substr(1)).c_str());
    if (Number >= 1 && Number <= 12) {
      return VK_F1 + Number - 1;
    }
  }
  struct TNamed {
    std::string_view Code;
    int Key;
  };
  static constexpr TNamed Named[] = {
      {"Escape", VK_ESCAPE},
      {"Enter", VK_RETURN},
      {"NumpadEnter", VK_RETURN},
      {"Space", VK_SPACE},
      {"Tab", VK_TAB},
      {"Backspace", VK_BACK},
      {"ArrowLeft", VK_LEFT},
      {"ArrowUp", VK_UP},
      {"ArrowRight", VK_RIGHT},
      {"ArrowDown", VK_DOWN},
      {"ShiftLeft", VK_SHIFT},
      {"ShiftRight", VK_SHIFT},
      {"ControlLeft", VK_CONTROL},
      {"ControlRight", VK_CONTROL},
      {"AltLeft", VK_MENU},
      {"AltRight", VK_MENU},
  };
  for (const TNamed& Entry : Named) {
    if (Entry.Code == Code) {
      return Entry.Key;
    }
  }
  return 0;
}

void SwitchFullscreen(bool On) {
  if (On) {
    emscripten_request_fullscreen(Canvas, 1);
  } else {
    emscripten_exit_fullscreen();
  }
}

// The canvas takes the size of what shows it: the screen's real pixels in fullscreen, the window's
// own size otherwise. The window procedure hears of it as a size message.
EM_BOOL OnFullscreenChange(int, const EmscriptenFullscreenChangeEvent* Event, void*) {
  Fullscreen = Event->isFullscreen != 0;
  std::int32_t Width = WindowWidth;
  std::int32_t Height = WindowHeight;
  if (Fullscreen) {
    // The size the page now shows the canvas at (all of the screen), in real pixels.
    double ShownWidth = 0;
    double ShownHeight = 0;
    emscripten_get_element_css_size(Canvas, &ShownWidth, &ShownHeight);
    const double Ratio = emscripten_get_device_pixel_ratio();
    Width = static_cast<std::int32_t>(std::lround(ShownWidth * Ratio));
    Height = static_cast<std::int32_t>(std::lround(ShownHeight * Ratio));
  }
  emscripten_set_canvas_element_size(Canvas, Width, Height);
  kelto_lock_escape(Fullscreen);
  Post(WM_SIZE, 0, MakeLParam(Width, Height));
  return EM_TRUE;
}

EM_BOOL OnKey(int Type, const EmscriptenKeyboardEvent* Event, void*) {
  const int Key = VirtualKeyOf(Event->key, Event->code);
  if (Key == 0) {
    return EM_FALSE;
  }
  const bool Down = Type == EMSCRIPTEN_EVENT_KEYDOWN;
  const bool Enter = Key == VK_RETURN;
  if (Key == VK_F11 || (Enter && Event->altKey)) {
    if (Down && !Event->repeat) {
      SwitchFullscreen(!Fullscreen);
    }
    return EM_TRUE;
  }
  // The browser keeps its own keys: reload, developer tools, and whatever goes with Ctrl or Cmd.
  if ((Key >= VK_F1 && Key <= VK_F12) || Event->ctrlKey || Event->metaKey) {
    if (!Down && KeysDown[Key]) {
      KeysDown[Key] = false;
      Post(WM_KEYUP, static_cast<TWParam>(Key));
    }
    return EM_FALSE;
  }
  KeysDown[Key] = Down;
  // Alt and anything pressed with it are system keys, as Windows reports them.
  const bool System = Key == VK_MENU || Event->altKey;
  if (System) {
    Post(Down ? WM_SYSKEYDOWN : WM_SYSKEYUP, static_cast<TWParam>(Key));
  } else {
    Post(Down ? WM_KEYDOWN : WM_KEYUP, static_cast<TWParam>(Key));
  }
  return EM_TRUE;
}

// A pointer position on the canvas in the canvas's own pixels, whatever size the page shows it at.
TLParam CanvasPixel(const EmscriptenMouseEvent& Event) {
  int Width = 0;
  int Height = 0;
  double ShownWidth = 0;
  double ShownHeight = 0;
  emscripten_get_canvas_element_size(Canvas, &Width, &Height);
  emscripten_get_element_css_size(Canvas, &ShownWidth, &ShownHeight);
  const auto Scale = [](long Position, int Pixels, double Shown) {
    return Shown > 0 ? static_cast<int>(std::floor(Position * Pixels / Shown)) : 0;
  };
  return MakeLParam(Scale(Event.targetX, Width, ShownWidth),
                    Scale(Event.targetY, Height, ShownHeight));
}

EM_BOOL OnMouse(int Type, const EmscriptenMouseEvent* Event, void*) {
  const TLParam Position = CanvasPixel(*Event);
  switch (Type) {
  case EMSCRIPTEN_EVENT_MOUSEMOVE:
    Post(WM_MOUSEMOVE, 0, Position);
    return EM_TRUE;
  case EMSCRIPTEN_EVENT_DBLCLICK:
    SwitchFullscreen(!Fullscreen);
    return EM_TRUE;
  case EMSCRIPTEN_EVENT_MOUSEDOWN:
  case EMSCRIPTEN_EVENT_MOUSEUP: {
    const bool Down = Type == EMSCRIPTEN_EVENT_MOUSEDOWN;
    if (Event->button == 0) {
      // A release anywhere on the page counts, so that no button stays held.
      if (Down || LeftDown) {
        LeftDown = Down;
        Post(Down ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, Position);
      }
    } else if (Event->button == 2) {
      if (Down || RightDown) {
        RightDown = Down;
        Post(Down ? WM_RBUTTONDOWN : WM_RBUTTONUP, 0, Position);
      }
    }
    return EM_TRUE;
  }
  default:
    return EM_FALSE;
  }
}

// Losing focus lets go of every key and button the game holds, as the window does when it is
// deactivated; the loop then waits for the focus to come back.
EM_BOOL OnFocus(int Type, const EmscriptenFocusEvent*, void*) {
  if (Type == EMSCRIPTEN_EVENT_FOCUS) {
    Post(WM_ACTIVATEAPP, 1);
    return EM_FALSE;
  }
  for (int Key = 0; Key < 256; ++Key) {
    if (KeysDown[Key]) {
      KeysDown[Key] = false;
      Post(WM_KEYUP, static_cast<TWParam>(Key));
    }
  }
  if (LeftDown) {
    LeftDown = false;
    Post(WM_LBUTTONUP);
  }
  if (RightDown) {
    RightDown = false;
    Post(WM_RBUTTONUP);
  }
  Post(WM_ACTIVATEAPP, 0);
  return EM_FALSE;
}

EM_BOOL OnPad(int, const EmscriptenGamepadEvent*, void*) {
  return EM_FALSE;
}

// A pad in the browser's standard layout: A is button 0, the right shoulder 5, the triggers 6 and
// 7, Start 9, the D-pad 12 to 15; the sticks are axes 0 to 3.
TPadState ReadPads(std::uint32_t) {
  TPadState All;
  if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) {
    return All;
  }
  const int Count = emscripten_get_num_gamepads();
  for (int Index = 0; Index < Count; ++Index) {
    EmscriptenGamepadEvent Pad;
    if (emscripten_get_gamepad_status(Index, &Pad) != EMSCRIPTEN_RESULT_SUCCESS || !Pad.connected ||
        std::strcmp(Pad.mapping, "standard") != 0 || Pad.numAxes < 4 || Pad.numButtons < 16) {
      continue;
    }
    TPadState One;
    const auto Axis = [&Pad](int Which) {
      return std::clamp(static_cast<float>(Pad.axis[Which]), -1.0f, 1.0f);
    };
    One.LeftX = Axis(0);
    One.LeftY = Axis(1);
    One.RightX = Axis(2);
    One.RightY = Axis(3);
    One.LeftTrigger = std::clamp(static_cast<float>(Pad.analogButton[6]), 0.0f, 1.0f);
    One.RightTrigger = std::clamp(static_cast<float>(Pad.analogButton[7]), 0.0f, 1.0f);
    One.A = Pad.digitalButton[0] != 0;
    One.RightShoulder = Pad.digitalButton[5] != 0;
    One.Start = Pad.digitalButton[9] != 0;
    One.Up = Pad.digitalButton[12] != 0;
    One.Down = Pad.digitalButton[13] != 0;
    One.Left = Pad.digitalButton[14] != 0;
    One.Right = Pad.digitalButton[15] != 0;
    All = CombinePads(All, One);
  }
  return All;
}

class TWebMessagePump final : public TMessagePump {
public:
  std::uint32_t TickCount() override {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
  }

  bool Peek(TMessage& Message) override {
    if (!Queue.empty()) {
      Message = Queue.front();
      Queue.pop_front();
      Message.lParam = ParamForWindowProc(Fullscreen, Message.Code, Message.lParam);
      return true;
    }
    if (QuitPosted) {
      QuitPosted = false;
      Message = TMessage{CanvasWindow, WM_QUIT, 0, 0};
      return true;
    }
    return PadFeed.Next(Message, CanvasWindow, TickCount(), ReadPads);
  }

  void Dispatch(const TMessage& Message) override {
    WindowProc(Message.Window, Message.Code, Message.wParam, Message.lParam);
  }

  // Never called: the browser sleeps between passes in its own event loop.
  void Wait(std::uint32_t) override {}

  void SetTitle(const std::string& Title) override { emscripten_set_window_title(Title.c_str()); }
};

TWebMessagePump Pump;

// The layer with the one thing only a browser does: it owns the loop.
class TWebPlatform final : public TPlatformLayer {
public:
  void RunLoop(TFrameLoop& Started, void (*End)()) override {
    Loop = &Started;
    EndLoop = End;
    kelto_schedule_passes(0);
  }
  void OfferFile(const std::string& FileName) override { OfferDownload(FileName); }
};

} // namespace

// Runs passes until one asks to sleep, then hands the browser back its thread until then. Once
// the game is done the window is torn down here, as the desktop does after its loop.
extern "C" EMSCRIPTEN_KEEPALIVE void KeltoWebPasses() {
  while (!Done) {
    const std::uint32_t Sleep = Loop->Pass();
    if (Sleep == TMessagePump::Infinite) {
      Idle = true;
      return;
    }
    if (Sleep != 0) {
      kelto_schedule_passes(static_cast<int>(Sleep));
      return;
    }
  }
  EndLoop();
  kelto_game_ended();
}

TPlatformLayer& PlatformLayer() {
  static TWebPlatform Layer;
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

bool TPlatformLayer::IsFullscreen() {
  return Fullscreen;
}

void TPlatformLayer::SetFullscreen(bool On) {
  // A page may go fullscreen only on the player's own click or key, never by itself.
  if (RenderContext != 0) {
    SwitchFullscreen(On);
  }
}

bool TPlatformLayer::CreateGameWindow(std::int32_t Width, std::int32_t Height) {
  WindowWidth = Width;
  WindowHeight = Height;
  emscripten_set_canvas_element_size(Canvas, Width, Height);
  EmscriptenWebGLContextAttributes Attributes;
  emscripten_webgl_init_context_attributes(&Attributes);
  Attributes.majorVersion = 2;
  Attributes.minorVersion = 0;
  Attributes.alpha = EM_FALSE;
  Attributes.depth = EM_TRUE;
  Attributes.stencil = EM_FALSE;
  Attributes.antialias = EM_FALSE;
  RenderContext = emscripten_webgl_create_context(Canvas, &Attributes);
  if (RenderContext <= 0) {
    RenderContext = 0;
    ReportError("Unable to create the WebGL 2 context (this browser or its graphics driver "
                "offers none)");
    return false;
  }
  if (emscripten_webgl_make_context_current(RenderContext) != EMSCRIPTEN_RESULT_SUCCESS) {
    emscripten_webgl_destroy_context(RenderContext);
    RenderContext = 0;
    ReportError("Unable to make the WebGL 2 context current");
    return false;
  }
  LayerContext = GlesCreateContext();
  if (LayerContext == nullptr) {
    emscripten_webgl_destroy_context(RenderContext);
    RenderContext = 0;
    ReportError("Unable to create the OpenGL context (its shaders failed)");
    return false;
  }
  GlesMakeCurrent(LayerContext);
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_mousemove_callback(Canvas, nullptr, EM_TRUE, OnMouse);
  emscripten_set_mousedown_callback(Canvas, nullptr, EM_TRUE, OnMouse);
  emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, OnMouse);
  emscripten_set_dblclick_callback(Canvas, nullptr, EM_TRUE, OnMouse);
  emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnFocus);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnFocus);
  emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE,
                                           OnFullscreenChange);
  // Pads are read on every pass; their events only make the browser start reporting them.
  emscripten_set_gamepadconnected_callback(nullptr, EM_TRUE, OnPad);
  // The page starts active even before it has the keyboard's focus (a page loaded from the
  // address bar may not have it yet): it draws at once, and a click gives it the keys.
  Post(WM_ACTIVATEAPP, 1);
  StartUpInShownWindow(false, MakeLParam(Width, Height));
  return true;
}

void TPlatformLayer::SwapWindowBuffers() {
  // The layer's last batch goes out; the browser shows the frame once the pass hands its thread
  // back.
  glFlush();
}

bool TPlatformLayer::HasCurrentContext() {
  return emscripten_webgl_get_current_context() != 0;
}

void TPlatformLayer::DestroyGameWindow() {
  emscripten_html5_remove_all_event_listeners();
  GlesDeleteContext(std::exchange(LayerContext, nullptr), RenderContext != 0);
  if (RenderContext != 0) {
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(RenderContext);
    RenderContext = 0;
  }
  // As on the desktop, the window procedure hears of the end without a current context.
  WindowProc(CanvasWindow, WM_DESTROY, 0, 0);
}
