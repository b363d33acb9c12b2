// Checks of the Windows layer that need the Windows calls themselves, run under Wine (or Windows)
// by scripts/wine-test.sh; exit status 0 when every check held. Without an argument: the game
// window, its context and the font's glyph lists; "no-gl" (on a display without OpenGL): a failed
// set-up leaves nothing behind. In an empty folder "crash" saves the score file and dies (status
// 3) in the middle of the next save, and "recover" checks what that left.
#include "platform/win32/Win32Platform.h"

#include "FontUnit.h"
#include "GlApi.h"
#include "OGLWnd.h"
#include "game/scenes/ScoreFile.h"
#include "game/shared/GameFlow.h"
#include "platform/PlatformLayer.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The Windows layer without its error box: the checks run unattended.
struct TQuietPlatform : TPlatformLayer {
  void ShowErrorBox(const std::string&) override {}
} QuietPlatform;

int Failures = 0;
#define CHECK(Condition)                                                                           \
  (void)((Condition) || std::fprintf(stderr, "FAIL line %d: %s\n", __LINE__, #Condition) < 0 ||    \
         ++Failures)

constexpr int Width = 800, Height = 600;

// Prints Text alone at (20, 40): where the text ended (the raster x).
float Print(std::string_view Text) {
  glClear(GL_COLOR_BUFFER_BIT);
  PrintText(20, 40, Text);
  GLfloat Raster[4] = {};
  glGetFloatv(GL_CURRENT_RASTER_POSITION, Raster);
  return Raster[0];
}

// Two tables and the files their saves write: ten decimal lines ending in CR LF.
struct TSaved {
  std::array<std::int32_t, 10> Table;
  const char* Text;
};
const TSaved First{{42, -5, 0, 2147483647, -2147483648, 7, 7, 1, 0, 3},
                   "42\r\n-5\r\n0\r\n2147483647\r\n-2147483648\r\n7\r\n7\r\n1\r\n0\r\n3\r\n"};
const TSaved Second{{9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
                    "9\r\n8\r\n7\r\n6\r\n5\r\n4\r\n3\r\n2\r\n1\r\n0\r\n"};

std::string Read(const char* Name) {
  std::ifstream File(Name, std::ios::binary);
  return {std::istreambuf_iterator<char>(File), {}};
}

bool Exists(const char* Name) {
  return GetFileAttributesA(Name) != INVALID_FILE_ATTRIBUTES;
}

// True when saving succeeds, score.txt then holds the table and no temporary file is left.
bool Save(const TSaved& Saved) {
  ScoreTable = Saved.Table;
  return SaveScoreTable() && Read("score.txt") == Saved.Text && !Exists("score.txt.tmp");
}

} // namespace

int main(int argc, char** argv) {
  const std::string Mode = argc > 1 ? argv[1] : "";
  // Without OpenGL the set-up's own box is part of what is checked.
  InstallPlatform(Mode == "no-gl" ? &PlatformLayer() : &QuietPlatform);
  if (Mode == "crash") {
    CHECK(Save(First)); // into a new file
    // The next save ends as in a crash: its contents complete, score.txt not yet replaced.
    BeforeReplaceHook = [](const std::string&) {
      TerminateProcess(GetCurrentProcess(), Failures == 0 ? 3 : 1);
    };
    Save(Second);
    return 1;
  }
  if (Mode == "recover") {
    LoadScoreTable(); // the old table whole beside the flushed new contents
    CHECK(ScoreTable == First.Table);
    CHECK(Read("score.txt") == First.Text);
    CHECK(Read("score.txt.tmp") == Second.Text);
    CHECK(Save(Second)); // replaces the file and the leftover
    // A read-only score file is the player's decision: the save fails and changes nothing.
    SetFileAttributesA("score.txt", FILE_ATTRIBUTE_READONLY);
    CHECK(!Save(First));
    CHECK(Read("score.txt") == Second.Text && !Exists("score.txt.tmp"));
    return Failures != 0;
  }
  WNDCLASSEXA Class{};
  Class.cbSize = sizeof Class;
  if (Mode == "no-gl") {
    CHECK(!Platform().CreateGameWindow(Width, Height));
  } else {
    OnStartUp = [] {
      // Start-up comes last: the window shown, its 800 x 600 projection set (in its context).
      GLdouble Matrix[16] = {};
      glGetDoublev(GL_PROJECTION_MATRIX, Matrix);
      CHECK(IsWindowVisible(FindWindowA("OpenGL", nullptr)));
      CHECK(std::fabs(Matrix[0] - 2.0 / Width) + std::fabs(Matrix[5] + 2.0 / Height) < 1e-9);
      const HGDIOBJ Font = GetCurrentObject(DeviceContext, OBJ_FONT);
      BuildFont();
      CHECK(GetCurrentObject(DeviceContext, OBJ_FONT) == Font);
    };
    static bool ShutdownWithContext = true;
    OnShutdown = [] { ShutdownWithContext = Platform().HasCurrentContext(); };
    if (!Platform().CreateGameWindow(Width, Height)) {
      return 1;
    }
    const HWND Window = FindWindowA("OpenGL", nullptr);
    char Title[64] = {};
    GetWindowTextA(Window, Title, sizeof Title);
    CHECK(lstrcmpA(Title, "kelto") == 0); // before any frame
    RECT Client{}, Outer{};
    GetClientRect(Window, &Client);
    GetWindowRect(Window, &Outer);
    CHECK(Client.right == Width && Client.bottom == Height);
    CHECK(Outer.left == 0 && Outer.top == 0);
    PIXELFORMATDESCRIPTOR Format{};
    DescribePixelFormat(DeviceContext, GetPixelFormat(DeviceContext), sizeof Format, &Format);
    CHECK(Format.cDepthBits >= 16); // the Wine run sees the rest of the format draw
    // Each glyph of the monospaced 18-pixel font moves the text on by about 11 pixels, blank ones
    // (space, no-break space) too: some drivers drop the empty bitmaps WGL records for them.
    const float End = Print("III");
    CHECK(End >= 20 + 3 * 8 && End <= 20 + 3 * 14);
    CHECK(Print("I I") == End);
    CHECK(Print("I\xA0I") == End);
    // The menu label "Играть" in code page 1251: six glyphs (the Wine run sees them drawn).
    CHECK(Print("\xC8\xE3\xF0\xE0\xF2\xFC") - 20 == 2 * (End - 20));
    Platform().DestroyGameWindow();
    CHECK(!ShutdownWithContext);
  }
  // However the window ended, the window, its device context and its class are gone.
  CHECK(!FindWindowA("OpenGL", nullptr));
  CHECK(!DeviceContext);
  CHECK(!GetClassInfoExA(GetModuleHandleA(nullptr), "OpenGL", &Class));
  return Failures != 0;
}
