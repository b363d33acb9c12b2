#include "GlContext.h"

#include "OGLWnd.h"
#include "game/scenes/Scenes.h"
#include "platform/PlatformLayer.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

struct TQuietPlatform : TPlatformLayer {
  void ShowErrorBox(const std::string&) override {}
} Quiet;

SDL_Window* TestWindow;
SDL_GLContext TestContext;
#ifdef KELTO_GLES
TGlesContext* TestLayer;
#endif

} // namespace

void ResetFrame() {
  SDL_GL_MakeCurrent(TestWindow, TestContext);
#ifdef KELTO_GLES
  GlesMakeCurrent(TestLayer);
#endif
  ResetGameFlow();
  ResetWindowState();
  ResizeView(800, 600);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SetFixedDrawingState();
  glEnable(GL_DEPTH_TEST);
  // Glyphs are textured: with no picture bound they keep the current colour.
  glBindTexture(GL_TEXTURE_2D, 0);
  if (FontBase == 0) {
    BuildFont();
  }
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  InstallPlatform(&Quiet);
  // These tests are about real X11 drawing; an offscreen fallback would prove nothing.
  const char* Driver = SDL_Init(SDL_INIT_VIDEO) == 0 ? SDL_GetCurrentVideoDriver() : nullptr;
  if (Driver == nullptr || std::string(Driver) != "x11") {
    std::fprintf(stderr, "no X11 display (driver %s): %s\n", Driver ? Driver : "none",
                 SDL_GetError());
    return 1;
  }
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
#ifdef KELTO_GLES
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
#endif
  TestWindow =
      SDL_CreateWindow("kelto-gl-tests", 0, 0, 800, 600, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  TestContext = TestWindow ? SDL_GL_CreateContext(TestWindow) : nullptr;
  if (TestContext == nullptr) {
    std::fprintf(stderr, "no OpenGL context: %s\n", SDL_GetError());
    return 1;
  }
#ifdef KELTO_GLES
  TestLayer = GlesCreateContext();
  if (TestLayer == nullptr) {
    return 1; // the layer has said why
  }
#endif
  ResetFrame();
  if (argc == 3 && std::string(argv[1]) == "--frames") {
    return WriteFrames(argv[2]);
  }
  const auto Folder =
      std::filesystem::temp_directory_path() / ("kelto-gl-" + std::to_string(getpid()));
  std::filesystem::create_directory(Folder);
  std::filesystem::current_path(Folder);
  const int Result = RUN_ALL_TESTS();
  std::filesystem::remove_all(Folder);
  return Result;
}
