// The game window, its context and the font's glyph lists on a real window under Wine (or
// Windows), run by scripts/wine-test.sh: exit status 0 when every check held.
#include "platform/win32/Win32Platform.h"

#include "FontUnit.h"
#include "GlApi.h"
#include "OGLWnd.h"
#include "platform/PlatformLayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

int Failures = 0;
void Check(bool Condition, const char* What) {
  Failures += !Condition && std::fprintf(stderr, "FAIL: %s\n", What) > 0;
}

constexpr int Width = 800, Height = 600;
bool ShutdownWithoutContext = false;

// Prints Text alone at (20, 40): where the text ended (the raster x), how many pixels it lit.
std::pair<float, long> Print(std::string_view Text) {
  glClear(GL_COLOR_BUFFER_BIT);
  PrintText(20, 40, Text);
  GLfloat Raster[4] = {};
  glGetFloatv(GL_CURRENT_RASTER_POSITION, Raster);
  static unsigned char Red[Width * Height];
  glReadPixels(0, 0, Width, Height, GL_RED, GL_UNSIGNED_BYTE, Red);
  return {Raster[0],
          std::count_if(Red, Red + Width * Height, [](int Value) { return Value > 128; })};
}

} // namespace

int main(int argc, char** argv) {
  InstallPlatform(&PlatformLayer());
  WNDCLASSEXA Class{};
  Class.cbSize = sizeof Class;
  if (argc == 2 && lstrcmpA(argv[1], "no-gl") == 0) {
    // A display without OpenGL: the set-up fails after making the window, and releases it all.
    Check(!Platform().CreateGameWindow(Width, Height), "no set-up without OpenGL");
    Check(!FindWindowA("OpenGL", nullptr), "no window left");
    Check(!DeviceContext, "no device context left");
    Check(!GetClassInfoExA(GetModuleHandleA(nullptr), "OpenGL", &Class), "no class left");
    return Failures != 0;
  }
  OnStartUp = [] {
    // Start-up comes last: the window shown, the context current, the 800 x 600 projection set.
    GLdouble Matrix[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, Matrix);
    const double Off = std::fabs(Matrix[0] - 2.0 / Width) + std::fabs(Matrix[5] + 2.0 / Height);
    Check(IsWindowVisible(FindWindowA("OpenGL", nullptr)) && Platform().HasCurrentContext() &&
              Off < 1e-9,
          "start-up with the window shown, the context current and its projection");
    const HGDIOBJ Font = GetCurrentObject(DeviceContext, OBJ_FONT);
    BuildFont();
    Check(GetCurrentObject(DeviceContext, OBJ_FONT) == Font,
          "the glyph lists leave the font as it was");
  };
  OnShutdown = [] { ShutdownWithoutContext = !Platform().HasCurrentContext(); };
  if (!Platform().CreateGameWindow(Width, Height)) {
    return std::fprintf(stderr, "FAIL: no window\n") != 0;
  }
  const HWND Window = FindWindowA("OpenGL", nullptr);
  Check(GetClassInfoExA(GetModuleHandleA(nullptr), "OpenGL", &Class) &&
            Class.style == (CS_HREDRAW | CS_VREDRAW | CS_OWNDC) &&
            Class.lpfnWndProc == GameWindowProc && !Class.hbrBackground && !Class.lpszMenuName &&
            Class.hIcon == LoadIconA(nullptr, IDI_WINLOGO) &&
            Class.hCursor == LoadCursorA(nullptr, IDC_ARROW),
        "class \"OpenGL\": style 0x23, WindowProc, no brush or menu, logo icon, arrow cursor");
  Check((GetWindowLongA(Window, GWL_STYLE) & ~(WS_MAXIMIZE | WS_MINIMIZE)) ==
                (0x6cf0000 | WS_VISIBLE) &&
            (GetWindowLongA(Window, GWL_EXSTYLE) & 0x40100) == 0x40100,
        "a shown window of style 0x6cf0000, extended style 0x40100");
  char Title[64] = {};
  GetWindowTextA(Window, Title, sizeof Title);
  RECT Client{}, Outer{};
  GetClientRect(Window, &Client);
  GetWindowRect(Window, &Outer);
  Check(lstrcmpA(Title, "kelto") == 0 && Client.right == Width && Client.bottom == Height &&
            Outer.left == 0 && Outer.top == 0,
        "title \"kelto\" before any frame, client area 800 x 600, window corner at (0, 0)");
  PIXELFORMATDESCRIPTOR Format{};
  DescribePixelFormat(DeviceContext, GetPixelFormat(DeviceContext), sizeof Format, &Format);
  Check((Format.dwFlags & 0x25) == 0x25 && Format.iPixelType == PFD_TYPE_RGBA &&
            Format.cColorBits >= 24 && Format.cDepthBits >= 16,
        "a double-buffered RGBA window format (flags 0x25) with a depth buffer");
  // Each glyph of the monospaced 18-pixel font moves the text on by about 11 pixels, blank ones
  // (space, no-break space) too: some drivers drop the empty bitmaps WGL records for them.
  const auto [End, Ink] = Print("III");
  Check(End >= 20 + 3 * 8 && End <= 20 + 3 * 14 && Ink > 0, "\"III\" drawn, 3 advances long");
  Check(Print("I I").first == End && Print("I\xA0I").first == End, "blank glyphs advance");
  // The menu label "Играть" in code page 1251: six glyphs, each of them drawn.
  const char* Label = "\xC8\xE3\xF0\xE0\xF2\xFC";
  Check(Print(Label).first - 20 == 2 * (End - 20), "six Cyrillic glyphs advance");
  for (int i = 0; i < 6; ++i) {
    Check(Print({Label + i, 1}).second > 0, "a Cyrillic letter drawn");
  }
  Platform().DestroyGameWindow();
  Check(ShutdownWithoutContext && !FindWindowA("OpenGL", nullptr) && !DeviceContext &&
            !GetClassInfoExA(GetModuleHandleA(nullptr), "OpenGL", &Class),
        "shutdown ran without a context; the window, device context and class are gone");
  return Failures != 0;
}
