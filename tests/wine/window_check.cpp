// The game window, its rendering context and the glyph lists that GDI and WGL make for the
// game's font, checked on a real window under Wine (or Windows) by scripts/wine-test.sh. Exit
// status 0 when every check held; each failed check prints one line on standard error.
#include "FontUnit.h"
#include "OGLWnd.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int Failures = 0;

void Check(bool Condition, const std::string& What) {
  if (!Condition) {
    std::fprintf(stderr, "FAIL: %s\n", What.c_str());
    ++Failures;
  }
}

constexpr int Width = 800;
constexpr int Height = 600;

// Left edges of the runs of lit columns in the band of window rows Top..Bottom (y down).
std::vector<int> InkRunStarts(const std::vector<unsigned char>& Pixels, int Top, int Bottom) {
  std::vector<int> Starts;
  bool Previous = false;
  for (int x = 0; x < Width; ++x) {
    bool Lit = false;
    for (int y = Top; y <= Bottom && !Lit; ++y) {
      const int Row = Height - 1 - y; // read back bottom-up
      const unsigned char* Pixel = &Pixels[(static_cast<std::size_t>(Row) * Width + x) * 3];
      Lit = Pixel[0] > 128;
    }
    if (Lit && !Previous) {
      Starts.push_back(x);
    }
    Previous = Lit;
  }
  return Starts;
}

// Prints each text on its own line (baselines 40 pixels apart) and returns the ink runs of each.
std::vector<std::vector<int>> PrintLines(const std::vector<std::string>& Lines) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor3f(1, 1, 1);
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    PrintText(20, 40 * static_cast<int>(i + 1), Lines[i]);
  }
  glFinish();
  std::vector<unsigned char> Pixels(static_cast<std::size_t>(Width) * Height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, Width, Height, GL_RGB, GL_UNSIGNED_BYTE, Pixels.data());
  std::vector<std::vector<int>> Runs;
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    const int Baseline = 40 * static_cast<int>(i + 1);
    Runs.push_back(InkRunStarts(Pixels, Baseline - 25, Baseline + 8));
  }
  return Runs;
}

void CheckGlyphs() {
  // "I" is a single run of ink narrower than its advance, so every glyph start is visible.
  const auto Runs = PrintLines({"II", "I I", "I\xA0I", "I  I", "\xC8\xE3\xF0\xE0\xF2\xFC"});
  const auto& Tight = Runs[0];
  Check(Tight.size() == 2, "\"II\" shows two glyphs (" + std::to_string(Tight.size()) + " runs)");
  if (Tight.size() != 2) {
    return;
  }
  const int Advance = Tight[1] - Tight[0];
  Check(Advance >= 8 && Advance <= 14,
        "an 18-pixel monospaced glyph advances about 11 pixels, not " + std::to_string(Advance));
  Check(Tight[0] == 20 || Tight[0] == 21 || Tight[0] == 22,
        "the text starts at its x position 20 (ink at " + std::to_string(Tight[0]) + ")");
  // Glyphs without pixels still move the text on by one advance each.
  const std::pair<int, const char*> Spaced[] = {{1, "space"}, {2, "no-break space"}};
  for (const auto& [Line, Name] : Spaced) {
    const auto& Got = Runs[static_cast<std::size_t>(Line)];
    Check(Got.size() == 2 && Got[1] - Got[0] == 2 * Advance,
          std::string("a ") + Name + " advances like any glyph");
  }
  const auto& Two = Runs[3];
  Check(Two.size() == 2 && Two[1] - Two[0] == 3 * Advance, "two spaces advance twice");
  // The Cyrillic bytes of code page 1251 have glyphs: six letters of ink.
  Check(Runs[4].size() >= 6, "the six Cyrillic letters of the menu label are drawn (" +
                                 std::to_string(Runs[4].size()) + " runs)");
}

std::string Hex(unsigned long long Value) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "0x%llx", Value);
  return Text;
}

HWND GameWindow() {
  return FindWindowA("OpenGL", nullptr);
}

// What start-up finds: set by the start-up procedure while it runs.
struct TStartUpView {
  bool Ran = false;
  bool ContextCurrent = false;
  bool Visible = false;
  GLint Viewport[4] = {};
  GLdouble Projection[16] = {};
  GLint MatrixMode = 0;
} AtStartUp;

bool ShutdownRan = false;
bool ContextAtShutdown = true;

void RecordStartUp() {
  AtStartUp.Ran = true;
  AtStartUp.ContextCurrent = HasCurrentContext();
  AtStartUp.Visible = IsWindowVisible(GameWindow()) != 0;
  glGetIntegerv(GL_VIEWPORT, AtStartUp.Viewport);
  glGetDoublev(GL_PROJECTION_MATRIX, AtStartUp.Projection);
  glGetIntegerv(GL_MATRIX_MODE, &AtStartUp.MatrixMode);
  BuildFont();
}

void RecordShutdown() {
  ShutdownRan = true;
  ContextAtShutdown = HasCurrentContext();
}

void CheckWindow() {
  const HWND Window = GameWindow();
  Check(Window != nullptr, "a window of the class \"OpenGL\" exists");
  if (Window == nullptr) {
    return;
  }
  WNDCLASSEXA Class{};
  Class.cbSize = sizeof Class;
  Check(GetClassInfoExA(GetModuleHandleA(nullptr), "OpenGL", &Class) != 0,
        "the class is registered");
  Check(Class.style == (CS_HREDRAW | CS_VREDRAW | CS_OWNDC), "class style " + Hex(Class.style));
  Check(Class.lpfnWndProc == WindowProc, "the class calls the game's WindowProc");
  Check(Class.hbrBackground == nullptr && Class.lpszMenuName == nullptr,
        "no background brush, no menu");
  Check(Class.hIcon == LoadIconA(nullptr, IDI_WINLOGO) &&
            Class.hCursor == LoadCursorA(nullptr, IDC_ARROW),
        "the system's logo icon and arrow cursor");

  const auto Style = static_cast<unsigned long>(GetWindowLongA(Window, GWL_STYLE));
  const auto ExStyle = static_cast<unsigned long>(GetWindowLongA(Window, GWL_EXSTYLE));
  Check((Style & ~WS_VISIBLE & ~WS_MAXIMIZE & ~WS_MINIMIZE) == 0x6cf0000ul,
        "window style " + Hex(Style));
  Check((Style & WS_VISIBLE) != 0, "the window is shown");
  Check((ExStyle & 0x40100ul) == 0x40100ul, "extended style " + Hex(ExStyle));

  char Title[64] = {};
  GetWindowTextA(Window, Title, sizeof Title);
  Check(std::string(Title) == "kelto", std::string("title \"") + Title + "\" before any frame");

  RECT Client{}, Outer{};
  GetClientRect(Window, &Client);
  GetWindowRect(Window, &Outer);
  Check(Client.right - Client.left == Width && Client.bottom - Client.top == Height,
        "client area " + std::to_string(Client.right - Client.left) + " x " +
            std::to_string(Client.bottom - Client.top) + ", expected 800 x 600");
  Check(Outer.left == 0 && Outer.top == 0,
        "the window's top-left corner is at the screen's (0, 0), not (" +
            std::to_string(Outer.left) + ", " + std::to_string(Outer.top) + ")");

  // The format that was set: double-buffered RGBA on a window, with a depth buffer.
  PIXELFORMATDESCRIPTOR Format{};
  const int Index = GetPixelFormat(DeviceContext);
  Check(Index > 0 && DescribePixelFormat(DeviceContext, Index, sizeof Format, &Format) != 0,
        "the device context has a pixel format");
  const DWORD Wanted = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  Check((Format.dwFlags & Wanted) == Wanted && Format.iPixelType == PFD_TYPE_RGBA,
        "double-buffered RGBA window format (flags " + Hex(Format.dwFlags) + ")");
  Check(Format.cColorBits >= 24 && Format.cDepthBits >= 16,
        "colour " + std::to_string(Format.cColorBits) + " bits, depth " +
            std::to_string(Format.cDepthBits) + " bits");

  // Start-up ran last in the creation, shown, with the context current and the window
  // projection already in place: origin top left, y down, one unit per pixel.
  Check(AtStartUp.Ran && AtStartUp.ContextCurrent && AtStartUp.Visible,
        "start-up ran with the context current and the window shown");
  Check(AtStartUp.Viewport[0] == 0 && AtStartUp.Viewport[1] == 0 &&
            AtStartUp.Viewport[2] == Width && AtStartUp.Viewport[3] == Height,
        "viewport at start-up " + std::to_string(AtStartUp.Viewport[2]) + " x " +
            std::to_string(AtStartUp.Viewport[3]));
  const GLdouble Ortho[16] = {2.0 / Width, 0,  0, 0, 0, -2.0 / Height, 0, 0, 0, 0, -1,
                              0,           -1, 1, 0, 1};
  bool SameProjection = true;
  for (int i = 0; i < 16; ++i) {
    SameProjection = SameProjection && std::fabs(AtStartUp.Projection[i] - Ortho[i]) < 1e-9;
  }
  Check(SameProjection, "the window projection is set before start-up");
  Check(AtStartUp.MatrixMode == GL_MODELVIEW, "start-up finds the model-view matrix selected");
}

void CheckTeardown() {
  Check(ShutdownRan, "destroying the window ran the shutdown procedure");
  Check(!ContextAtShutdown, "the shutdown procedure ran after the context was released");
  Check(GameWindow() == nullptr, "the window is gone");
  WNDCLASSEXA Class{};
  Class.cbSize = sizeof Class;
  Check(GetClassInfoExA(GetModuleHandleA(nullptr), "OpenGL", &Class) == 0,
        "the class is unregistered");
  Check(DeviceContext == nullptr, "the device context is released");
}

} // namespace

int main() {
  OnStartUp = RecordStartUp;
  OnShutdown = RecordShutdown;
  if (!CreateGameWindow(Width, Height)) {
    std::fprintf(stderr, "FAIL: no window\n");
    return 1;
  }
  CheckWindow();
  CheckGlyphs();
  DestroyGameWindow();
  CheckTeardown();
  return Failures == 0 ? 0 : 1;
}
