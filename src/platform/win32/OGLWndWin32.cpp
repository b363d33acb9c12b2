// The window, its device and rendering contexts, and the message source over Win32 and WGL.
// Windows itself calls the game's window procedure, registered with the window class. XInput pads
// join the same messages.
#include "Win32Platform.h"

#include "MyUnit.h"
#include "OGLWnd.h"
#include "platform/PlatformLayer.h"

#include <mmsystem.h>

#include <cstdio>
#include <string>

HDC DeviceContext;

namespace {

constexpr const char* ClassName = "OpenGL";
constexpr DWORD WindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD WindowExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;

HWND WindowHandle;
HGLRC RenderContext;
// Fullscreen as asked for, and the window's placement to give back when leaving it.
bool Fullscreen;
WINDOWPLACEMENT Windowed{};
TPadFeed PadFeed;

HINSTANCE ModuleInstance() {
  return GetModuleHandleA(nullptr);
}

// A set-up step that failed: the report names the system's reason too, read before anything
// else can change it.
void ReportSetUpFailure(const char* Text) {
  ReportError(std::string(Text) + " (" + SystemErrorText(GetLastError()) + ")");
}

// The loop measures time in whole milliseconds; the system timer is asked for that resolution
// for as long as the program runs, so waits and the pacing gap of more than 10 ms mean the same
// as elsewhere instead of rounding to the default 15.6 ms timer tick.
class TTimerResolution {
public:
  TTimerResolution() { timeBeginPeriod(1); }
  ~TTimerResolution() { timeEndPeriod(1); }
  TTimerResolution(const TTimerResolution&) = delete;
  TTimerResolution& operator=(const TTimerResolution&) = delete;
};

// The window's style as it is (shown, maximised or not), so a switch changes only its frame.
LONG WindowStyleNow() {
  return GetWindowLongA(WindowHandle, GWL_STYLE);
}

// A borderless window the size of its monitor: the display keeps its mode.
void SwitchFullscreen(bool On) {
  if (WindowHandle == nullptr) {
    Fullscreen = On;
    return;
  }
  if (On == Fullscreen) {
    return;
  }
  if (On) {
    MONITORINFO Monitor{};
    Monitor.cbSize = sizeof Monitor;
    Windowed.length = sizeof Windowed;
    if (!GetWindowPlacement(WindowHandle, &Windowed) ||
        !GetMonitorInfoA(MonitorFromWindow(WindowHandle, MONITOR_DEFAULTTONEAREST), &Monitor)) {
      std::fprintf(stderr, "kelto: fullscreen is not available (%s)\n",
                   SystemErrorText(GetLastError()).c_str());
      return;
    }
    // Set first, so the size message of the move already scales the view.
    Fullscreen = true;
    SetWindowLongA(WindowHandle, GWL_STYLE, WindowStyleNow() & ~WS_OVERLAPPEDWINDOW);
    const RECT& Area = Monitor.rcMonitor;
    SetWindowPos(WindowHandle, HWND_TOP, Area.left, Area.top, Area.right - Area.left,
                 Area.bottom - Area.top, SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  } else {
    Fullscreen = false;
    SetWindowLongA(WindowHandle, GWL_STYLE, WindowStyleNow() | WS_OVERLAPPEDWINDOW);
    SetWindowPlacement(WindowHandle, &Windowed);
    SetWindowPos(WindowHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  }
}

class TWin32MessagePump final : public TMessagePump {
public:
  std::uint32_t TickCount() override { return timeGetTime(); }

  bool Peek(TMessage& Message) override {
    if (PeekMessageA(&Pending, nullptr, 0, 0, PM_REMOVE) != 0) {
      FromPad = false;
      Message = TMessage{Pending.hwnd, Pending.message, Pending.wParam, Pending.lParam};
      return true;
    }
    FromPad = PadFeed.Next(Message, WindowHandle, timeGetTime(), ReadXInputPads);
    return FromPad;
  }

  // Dispatches the message Peek removed last (Windows needs its whole record). A pad's message
  // is already in the view's terms and goes to the window procedure as it is.
  void Dispatch(const TMessage& Message) override {
    if (FromPad) {
      WindowProc(Message.Window, Message.Code, Message.wParam, Message.lParam);
      return;
    }
    TranslateMessage(&Pending);
    DispatchMessageA(&Pending);
  }

  void Wait(std::uint32_t TimeoutMs) override {
    // Returns when input arrives or the frame is due; the loop then looks again.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, TimeoutMs == Infinite ? INFINITE : TimeoutMs,
                              QS_ALLINPUT);
  }

  void SetTitle(const std::string& Title) override {
    if (WindowHandle != nullptr) {
      SetWindowTextA(WindowHandle, Title.c_str());
    }
  }

private:
  MSG Pending{};
  bool FromPad = false;
};

TWin32MessagePump Pump;

// Ctrl+C, Ctrl+Break or the console's closing while a box waits for its button: the program ends
// at once with the status of a failed run, as termination signals end it elsewhere (the report is
// on standard error already).
BOOL WINAPI EndOnConsoleEvent(DWORD) {
  ExitProcess(1);
}

void ShowMessageBox(const char* Text, UINT Style) {
  SetConsoleCtrlHandler(EndOnConsoleEvent, TRUE);
  MessageBoxA(nullptr, Text, "Error", Style);
  SetConsoleCtrlHandler(EndOnConsoleEvent, FALSE);
}

// The boxes of set-up and teardown that the game shows itself, with its own icon style.
void ShowBox(const char* Text, UINT Style) {
  std::fprintf(stderr, "kelto: %s\n", Text);
  std::fflush(stderr);
  ShowMessageBox(Text, Style);
}

// Asks GDI for a double-buffered RGBA window format with Bits of colour and of depth.
bool ApplyPixelFormat(std::uint8_t Bits) {
  PIXELFORMATDESCRIPTOR Request{};
  Request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  Request.nVersion = 1;
  Request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  Request.iPixelType = PFD_TYPE_RGBA;
  Request.cColorBits = Bits;
  Request.cDepthBits = Bits;
  Request.iLayerType = PFD_MAIN_PLANE;
  const int Format = ChoosePixelFormat(DeviceContext, &Request);
  if (Format == 0) {
    ShowBox("ChoosePixelFormat failed", MB_OK);
    return false;
  }
  if (!SetPixelFormat(DeviceContext, Format, &Request)) {
    ShowBox("SetPixelFormat failed", MB_OK);
    return false;
  }
  return true;
}

// Releases whatever of the window is set up: at teardown (Report: a failure is shown) or after a
// creation that stopped half-way, so that a failed start leaves nothing set up.
void ReleaseWindow(bool Report) {
  if (RenderContext != nullptr) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(RenderContext);
    RenderContext = nullptr;
  }
  if (DeviceContext != nullptr) {
    ReleaseDC(WindowHandle, DeviceContext);
    DeviceContext = nullptr;
  }
  // WM_DESTROY reaches WindowProc inside DestroyWindow, which runs the shutdown procedure.
  if (WindowHandle != nullptr && !DestroyWindow(WindowHandle) && Report) {
    ShowBox("Unable to destroy window!", MB_ICONERROR);
  }
  WindowHandle = nullptr;
  if (!UnregisterClassA(ClassName, ModuleInstance()) && Report) {
    ShowBox("Unable to unregister window class!", MB_ICONERROR);
  }
}

} // namespace

LRESULT CALLBACK GameWindowProc(HWND Window, UINT Message, WPARAM wParam, LPARAM lParam) {
  // Bit 29: Alt is held; bit 30: the key was already down (auto-repeat).
  const bool AltHeld = (lParam & (1 << 29)) != 0;
  const bool Repeat = (lParam & (1 << 30)) != 0;
  switch (Message) {
  case WM_SYSKEYDOWN:
  case WM_SYSKEYUP:
  case WM_SYSCHAR:
    // Alt+Enter switches fullscreen. Taken here, it never reaches the default handling, which
    // would sound the menu's beep.
    if (wParam == VK_RETURN && AltHeld) {
      if (Message == WM_SYSKEYDOWN && !Repeat) {
        SwitchFullscreen(!Fullscreen);
      }
      return 0;
    }
    break;
  case WM_KEYDOWN:
  case WM_KEYUP:
    // F11 switches too, and is never a key of the game.
    if (wParam == VK_F11) {
      if (Message == WM_KEYDOWN && !Repeat) {
        SwitchFullscreen(!Fullscreen);
      }
      return 0;
    }
    break;
  case WM_SIZE:
    lParam = SizeForWindowProc(Fullscreen, lParam);
    break;
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
    lParam = PointerForWindowProc(lParam);
    break;
  default:
    break;
  }
  return WindowProc(Window, Message, wParam, lParam);
}

TPlatformLayer& PlatformLayer() {
  static TPlatformLayer Layer;
  return Layer;
}

std::string SystemErrorText(DWORD Error) {
  char* Text = nullptr;
  const DWORD Length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Error, 0, reinterpret_cast<LPSTR>(&Text), 0, nullptr);
  std::string Reason = Length != 0 && Text != nullptr ? std::string(Text, Length) : std::string();
  if (Text != nullptr) {
    LocalFree(Text);
  }
  // System messages end in a full stop and a line break; a report is one line.
  while (!Reason.empty() && (Reason.back() == '\r' || Reason.back() == '\n' ||
                             Reason.back() == ' ' || Reason.back() == '.')) {
    Reason.pop_back();
  }
  return Reason.empty() ? "error " + std::to_string(Error) : Reason;
}

TMessagePump& TPlatformLayer::MessagePump() {
  static TTimerResolution Resolution;
  return Pump;
}

TLResult TPlatformLayer::DefaultWindowProc(TWindowHandle Window, std::uint32_t Message,
                                           TWParam wParam, TLParam lParam) {
  return DefWindowProcA(static_cast<HWND>(Window), Message, wParam, lParam);
}

void TPlatformLayer::SetFullscreen(bool On) {
  SwitchFullscreen(On);
}

bool TPlatformLayer::IsFullscreen() {
  return Fullscreen;
}

void TPlatformLayer::PostQuitMessage(int ExitCode) {
  ::PostQuitMessage(ExitCode);
}

void TPlatformLayer::ShowErrorBox(const std::string& Text) {
  ShowMessageBox(Text.c_str(), MB_ICONERROR);
}

// The game runs from the folder its zip was unpacked into, which holds its pictures and scores.
bool TPlatformLayer::EnterInstalledRunFolder(bool& Moved, std::string& ErrorText) {
  return TPlatform::EnterInstalledRunFolder(Moved, ErrorText);
}

bool TPlatformLayer::CreateGameWindow(std::int32_t Width, std::int32_t Height) {
  const HINSTANCE Instance = ModuleInstance();

  WNDCLASSEXA WindowClass{};
  WindowClass.cbSize = sizeof(WNDCLASSEXA);
  WindowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  WindowClass.lpfnWndProc = GameWindowProc;
  WindowClass.cbClsExtra = 0;
  WindowClass.cbWndExtra = 0;
  WindowClass.hInstance = Instance;
  WindowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
  WindowClass.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
  WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  WindowClass.hbrBackground = nullptr;
  WindowClass.lpszMenuName = nullptr;
  WindowClass.lpszClassName = ClassName;
  if (RegisterClassExA(&WindowClass) == 0) {
    ReportSetUpFailure("Unable to register the window class");
    return false;
  }

  // The outer size whose client area is Width x Height with this frame and caption.
  RECT Outer{0, 0, Width, Height};
  AdjustWindowRectEx(&Outer, WindowStyle, FALSE, WindowExStyle);
  WindowHandle = CreateWindowExA(WindowExStyle, ClassName, "kelto", WindowStyle, 0, 0,
                                 Outer.right - Outer.left, Outer.bottom - Outer.top, nullptr,
                                 nullptr, Instance, nullptr);
  if (WindowHandle == nullptr) {
    ReportSetUpFailure("Unable to create the window");
    ReleaseWindow(false);
    return false;
  }

  DeviceContext = GetDC(WindowHandle);
  if (DeviceContext == nullptr) {
    ReportSetUpFailure("Unable to get the window's device context");
    ReleaseWindow(false);
    return false;
  }
  if (!ApplyPixelFormat(32)) {
    ReleaseWindow(false);
    return false;
  }

  RenderContext = wglCreateContext(DeviceContext);
  if (RenderContext == nullptr) {
    ReportSetUpFailure("Unable to create the OpenGL context");
    ReleaseWindow(false);
    return false;
  }
  if (!wglMakeCurrent(DeviceContext, RenderContext)) {
    ReportSetUpFailure("Unable to make the OpenGL context current");
    ReleaseWindow(false);
    return false;
  }

  SetForegroundWindow(WindowHandle);
  SetFocus(WindowHandle);
  ShowWindow(WindowHandle, SW_SHOW);
  // A game asked to start in fullscreen opens its window and switches at once, so leaving
  // fullscreen gives the window it would have had.
  if (Fullscreen) {
    Fullscreen = false;
    SwitchFullscreen(true);
  }
  // The size message of creation came before the context existed, and whether showing sends
  // another depends on the system; the projection must be in place before start-up draws.
  RECT Client{};
  const TLParam Shown = GetClientRect(WindowHandle, &Client)
                            ? MakeLParam(Client.right - Client.left, Client.bottom - Client.top)
                            : MakeLParam(Width, Height);
  StartUpInShownWindow(Fullscreen, Shown);
  return true;
}

void TPlatformLayer::SwapWindowBuffers() {
  SwapBuffers(DeviceContext);
}

bool TPlatformLayer::HasCurrentContext() {
  return wglGetCurrentContext() != nullptr;
}

void TPlatformLayer::DestroyGameWindow() {
  ReleaseWindow(true);
}
