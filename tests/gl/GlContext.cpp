#include "GlContext.h"

#include "FontUnit.h"
#include "OGLWnd.h"
#include "game/scenes/Scenes.h"
#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace fs = std::filesystem;

namespace {

struct TQuietPlatform : TSdlPlatform {
  void ShowErrorBox(const std::string&) override {}
} Quiet;

SDL_Window* TestWindow;
SDL_GLContext TestContext;

} // namespace

TScreen ReadScreen() {
  TScreen Screen{std::vector<TRgba>(800 * 600)};
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, Screen.Pixels.data());
  return Screen;
}

TInk InkIn(const TScreen& Screen, int Left, int Top, int Right, int Bottom, const TScreen* Base) {
  TInk Ink;
  for (int y = Top; y <= Bottom; ++y) {
    for (int x = Left; x <= Right; ++x) {
      const TRgba P = Screen.At(x, y), B = Base ? Base->At(x, y) : TRgba{};
      if (P.r != B.r || P.g != B.g || P.b != B.b) {
        Ink = {std::min(Ink.Left, x), std::max(Ink.Right, x), y, Ink.Count + 1};
      }
    }
  }
  return Ink;
}

void ResetFrame() {
  ResizeView(800, 600);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SetFixedDrawingState();
  glEnable(GL_DEPTH_TEST);
  // Glyphs are textured: with no picture bound they keep the current colour.
  glBindTexture(GL_TEXTURE_2D, 0);
  if (FontBase == 0 || !glIsList(FontBase + 'H')) {
    BuildFont();
  }
}

TScreen Printed(int x, int y, const std::string& Text) {
  ResetFrame();
  glColor3f(1, 1, 1);
  PrintText(x, y, Text);
  return ReadScreen();
}

void MakeFixtureCurrent() {
  SDL_GL_MakeCurrent(TestWindow, TestContext);
}

TTempDir::TTempDir() : Old(fs::current_path()) {
  static int Count;
  Path = fs::temp_directory_path() /
         ("kelto-gl-" + std::to_string(getpid()) + "-" + std::to_string(++Count));
  fs::create_directory(Path);
  fs::permissions(Path, fs::perms(0755));
  fs::current_path(Path);
}

TTempDir::~TTempDir() {
  fs::current_path(Old);
  fs::remove_all(Path);
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  InstallPlatform(&Quiet);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "no display: %s\n", SDL_GetError());
    return 1;
  }
  // These tests are about real X11 drawing; an offscreen fallback would prove nothing.
  const char* Driver = SDL_GetCurrentVideoDriver();
  if (Driver == nullptr || std::strcmp(Driver, "x11") != 0) {
    std::fprintf(stderr, "expected the x11 video driver, got %s\n", Driver ? Driver : "none");
    return 1;
  }
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  TestWindow =
      SDL_CreateWindow("kelto-gl-tests", 0, 0, 800, 600, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  TestContext = TestWindow ? SDL_GL_CreateContext(TestWindow) : nullptr;
  if (TestContext == nullptr) {
    std::fprintf(stderr, "no OpenGL context: %s\n", SDL_GetError());
    return 1;
  }
  ResetFrame();
  const int Result = RUN_ALL_TESTS();
  SDL_GL_DeleteContext(TestContext);
  SDL_DestroyWindow(TestWindow);
  SDL_Quit();
  return Result;
}
