#include "GlContext.h"

#include "OGLWnd.h"
#include "platform/sdl/SdlPlatform.h"

#include "GlApi.h"
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

struct TQuietPlatform : TSdlPlatform {
  void ShowErrorBox(const std::string&) override {}
} Quiet;

SDL_Window* TestWindow;
SDL_GLContext TestContext;

} // namespace

TRgba ReadPixel(int x, int y) {
  TRgba Pixel{};
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, 600 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &Pixel);
  return Pixel;
}

std::vector<TRgba> ReadScreen() {
  std::vector<TRgba> Bottom(800 * 600);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, Bottom.data());
  std::vector<TRgba> Top(800 * 600);
  for (int y = 0; y < 600; ++y) {
    std::memcpy(&Top[y * 800], &Bottom[(599 - y) * 800], 800 * sizeof(TRgba));
  }
  return Top;
}

void ResetFrame() {
  ResizeView(800, 600);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TPlatform& QuietPlatform() {
  return Quiet;
}

void MakeFixtureCurrent() {
  SDL_GL_MakeCurrent(TestWindow, TestContext);
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
