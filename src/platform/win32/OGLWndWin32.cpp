// The window, its device and rendering contexts, and the message source over Win32 and WGL.
// Windows itself calls the shared WindowProc, registered with the window class.
#include "OGLWnd.h"

#include <mmsystem.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* ClassName = "OpenGL";
constexpr DWORD WindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD WindowExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;

HWND WindowHandle;
HGLRC RenderContext;

HINSTANCE ModuleInstance() {
  return GetModuleHandleA(nullptr);
}

// The system's reason for the last failed call, as one line.
std::string LastErrorText() {
  const DWORD Error = GetLastError();
  char* Text = nullptr;
  const DWORD Length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Error, 0, reinterpret_cast<LPSTR>(&Text), 0, nullptr);
  std::string Reason = Length != 0 && Text != nullptr ? std::string(Text, Length) : std::string();
  if (Text != nullptr) {
    LocalFree(Text);
  }
  while (!Reason.empty() && (Reason.back() == '\r' || Reason.back() == '\n' ||
                             Reason.back() == ' ' || Reason.back() == '.')) {
    Reason.pop_back();
  }
  return Reason.empty() ? "error " + std::to_string(Error) : Reason;
}

// A set-up step that failed: the user sees Text in a box; standard error also gets the
// system's reason, read before the box can change it.
void ReportSetUpFailure(const char* Text) {
  const std::string Line = std::string(Text) + " (" + LastErrorText() + ")";
  std::fprintf(stderr, "kelto: %s\n", Line.c_str());
  std::fflush(stderr);
  MessageBoxA(nullptr, Text, "Error", MB_ICONERROR);
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

class TWin32MessagePump final : public TMessagePump {
public:
  std::uint32_t TickCount() override { return timeGetTime(); }

  bool Peek(MSG& Message) override { return PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE) != 0; }

  void Dispatch(const MSG& Message) override {
    TranslateMessage(&Message);
    DispatchMessageA(&Message);
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
};

TWin32MessagePump Pump;

} // namespace

TMessagePump& PlatformMessagePump() {
  static TTimerResolution Resolution;
  return Pump;
}

void ShowErrorBox(const char* Text, bool IconError) {
  std::fprintf(stderr, "kelto: %s\n", Text);
  std::fflush(stderr);
  MessageBoxA(nullptr, Text, "Error", IconError ? MB_ICONERROR : MB_OK);
}

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
    ShowErrorBox("ChoosePixelFormat failed", false);
    return false;
  }
  if (!SetPixelFormat(DeviceContext, Format, &Request)) {
    ShowErrorBox("SetPixelFormat failed", false);
    return false;
  }
  return true;
}

bool CreateGameWindow(std::int32_t Width, std::int32_t Height) {
  const HINSTANCE Instance = ModuleInstance();

  WNDCLASSEXA WindowClass{};
  WindowClass.cbSize = sizeof(WNDCLASSEXA);
  WindowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  WindowClass.lpfnWndProc = WindowProc;
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
    return false;
  }

  DeviceContext = GetDC(WindowHandle);
  if (DeviceContext == nullptr) {
    ReportSetUpFailure("Unable to get the window's device context");
    return false;
  }
  if (!ApplyPixelFormat(32)) {
    return false;
  }

  RenderContext = wglCreateContext(DeviceContext);
  if (RenderContext == nullptr) {
    ReportSetUpFailure("Unable to create the OpenGL context");
    return false;
  }
  if (!wglMakeCurrent(DeviceContext, RenderContext)) {
    ReportSetUpFailure("Unable to make the OpenGL context current");
    return false;
  }

  SetForegroundWindow(WindowHandle);
  SetFocus(WindowHandle);
  ShowWindow(WindowHandle, SW_SHOW);
  // The size message of creation came before the context existed, and whether showing sends
  // another depends on the system; the projection must be in place before start-up draws.
  RECT Client{};
  if (GetClientRect(WindowHandle, &Client)) {
    ResizeView(Client.right - Client.left, Client.bottom - Client.top);
  } else {
    ResizeView(Width, Height);
  }

  if (OnStartUp != nullptr) {
    OnStartUp();
  }
  return true;
}

void SwapWindowBuffers() {
  SwapBuffers(DeviceContext);
}

bool HasCurrentContext() {
  return wglGetCurrentContext() != nullptr;
}

void DestroyGameWindow() {
  if (RenderContext != nullptr) {
    wglMakeCurrent(DeviceContext, nullptr);
    wglDeleteContext(RenderContext);
    RenderContext = nullptr;
  }
  if (DeviceContext != nullptr) {
    ReleaseDC(WindowHandle, DeviceContext);
    DeviceContext = nullptr;
  }
  if (WindowHandle != nullptr) {
    // WM_DESTROY reaches WindowProc inside this call, which runs the shutdown procedure.
    if (!DestroyWindow(WindowHandle)) {
      ShowErrorBox("Unable to destroy window!", true);
    }
    WindowHandle = nullptr;
  }
  if (!UnregisterClassA(ClassName, ModuleInstance())) {
    ShowErrorBox("Unable to unregister window class!", true);
  }
}
