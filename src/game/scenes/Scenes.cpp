#include "Scenes.h"

#include "FontUnit.h"
#include "Gamepad.h"
#include "OGLWnd.h"
#include "ScoreFile.h"
#include "game/replay/Demo.h"
#include "game/shared/Textures.h"
#include "game/world/World.h"

#include "GlApi.h"

void SetFixedDrawingState() {
  glEnable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  // Fully transparent texels are discarded, so they neither show nor write depth.
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.1f);
  glEnable(GL_TEXTURE_2D);
}

void StartUp() {
  LoadScoreTable();
  SetKeyBindings();
  LoadTextures();
  BuildFont();
  SetFixedDrawingState();
  MenuScene = RunMenuScene;
  ScoreScene = RunScoreScene;
  GameScene = RunGameScene;
  ExitScene = RunExitScene;
  CurrentScene = MenuScene;
}

void DoFrame() {
  // Only the game scene lets a pad walk and aim; every other scene uses it as a pointer.
  PadMode = TPadMode::Pointer;
  CurrentScene();
  // A played demo starts its game at once: the menu's first frame ran NewGame, no click needed.
  if (CurrentScene == MenuScene && DemoWaitsForGame()) {
    CurrentScene = GameScene;
  }
  Platform().SwapWindowBuffers();
}

void ShutDown() {
  DeleteFont();
  EndDemo();
}

void RunGameScene() {
  // NewGame clears GameStarted, so the step that finds it cleared is the first of a game.
  const bool FirstStep = !GameStarted;
  GameStarted = true;
  PadMode = TPadMode::Play;
  if (BeforeDemoStep(FirstStep)) {
    WorldStep();
    AfterDemoStep();
  }
  WorldDraw();
}

void RunExitScene() {
  Done = true;
}
