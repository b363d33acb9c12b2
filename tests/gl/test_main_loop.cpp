// The real window and loop: creation order, the projection before start-up, and teardown.
#include "GlContext.h"

#include "OGLWnd.h"

#include "GlApi.h"
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

namespace {

struct TLifeRecord {
  bool StartUpHadContext = false;
  bool StartUpWindowShown = false;
  GLint StartUpViewport[4] = {};
  std::string StartUpTitle;
  int WindowX = -1, WindowY = -1, ClientWidth = 0, ClientHeight = 0;
  int Frames = 0;
  bool ShutDownHadContext = true;
  int ShutDowns = 0;
};

TLifeRecord Life;

SDL_Window* GameWindow() {
  return SDL_GL_GetCurrentWindow();
}

void RecordStartUp() {
  Life.StartUpHadContext = Platform().HasCurrentContext();
  Life.StartUpWindowShown = (SDL_GetWindowFlags(GameWindow()) & SDL_WINDOW_SHOWN) != 0;
  glGetIntegerv(GL_VIEWPORT, Life.StartUpViewport);
  Life.StartUpTitle = SDL_GetWindowTitle(GameWindow());
  SDL_GetWindowPosition(GameWindow(), &Life.WindowX, &Life.WindowY);
  SDL_GetWindowSize(GameWindow(), &Life.ClientWidth, &Life.ClientHeight);
}

void RecordFrame() {
  if (++Life.Frames == 3) {
    Done = true;
  }
  Platform().SwapWindowBuffers();
}

void RecordShutDown() {
  ++Life.ShutDowns;
  Life.ShutDownHadContext = Platform().HasCurrentContext();
}

} // namespace

TEST(MainLoop, CreatesShowsRunsAndTearsDownInOrder) {
  Life = TLifeRecord{};
  ASSERT_TRUE(RunMainLoop(RecordStartUp, RecordFrame, RecordShutDown));
  MakeFixtureCurrent();

  EXPECT_TRUE(Life.StartUpHadContext);
  EXPECT_TRUE(Life.StartUpWindowShown);
  EXPECT_EQ(Life.StartUpTitle, "kelto");
  EXPECT_EQ(Life.WindowX, 0);
  EXPECT_EQ(Life.WindowY, 0);
  EXPECT_EQ(Life.ClientWidth, 800);
  EXPECT_EQ(Life.ClientHeight, 600);
  // The window projection is in place before start-up draws anything.
  EXPECT_EQ(Life.StartUpViewport[2], 800);
  EXPECT_EQ(Life.StartUpViewport[3], 600);
  EXPECT_EQ(Life.Frames, 3) << "the exit request ends the loop after its own frame";
  EXPECT_EQ(Life.ShutDowns, 1);
  EXPECT_FALSE(Life.ShutDownHadContext) << "shutdown runs after the context is released";
}

// A set-up that fails half-way (the context: there is no OpenGL 99) leaves no window behind.
TEST(MainLoop, FailedWindowSetUpReleasesWhatItMade) {
  const auto Windows = [] {
    int Count = 0;
    for (Uint32 Id = 1; Id < 100; ++Id) {
      Count += SDL_GetWindowFromID(Id) != nullptr;
    }
    return Count;
  };
  const int Before = Windows();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 99);
  EXPECT_FALSE(RunMainLoop(RecordStartUp, RecordFrame, RecordShutDown));
  SDL_GL_ResetAttributes();
  MakeFixtureCurrent();
  EXPECT_EQ(Windows(), Before);
}

TEST(MainLoop, SizeMessagesSetViewportAndProjection) {
  ResetFrame();
  WindowProc(nullptr, WM_SIZE, 0, MakeLParam(1024, 700));
  GLint Viewport[4];
  glGetIntegerv(GL_VIEWPORT, Viewport);
  EXPECT_EQ(Viewport[2], 1024);
  EXPECT_EQ(Viewport[3], 700);
  GLfloat Projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, Projection);
  // One unit per pixel, y down: x scale 2/width, y scale -2/height.
  EXPECT_FLOAT_EQ(Projection[0], 2.0f / 1024);
  EXPECT_FLOAT_EQ(Projection[5], -2.0f / 700);
  GLint Mode;
  glGetIntegerv(GL_MATRIX_MODE, &Mode);
  EXPECT_EQ(Mode, GL_MODELVIEW);

  // A zero height gives a one-pixel-high view, not a degenerate one.
  WindowProc(nullptr, WM_SIZE, 0, MakeLParam(640, 0));
  glGetIntegerv(GL_VIEWPORT, Viewport);
  EXPECT_EQ(Viewport[2], 640);
  EXPECT_EQ(Viewport[3], 1);
  glGetFloatv(GL_PROJECTION_MATRIX, Projection);
  EXPECT_FLOAT_EQ(Projection[5], -2.0f);
  ResetFrame();
}
