// The procedures the main loop runs and the scenes the frame procedure calls.
#pragma once

#include "game/shared/GameFlow.h"

#include <string_view>

// Reads the score table, sets the key bindings, loads the pictures, builds the font, sets the
// fixed drawing state and opens on the menu.
void StartUp();
// Blending, back-face culling, the alpha test and texturing, as every frame draws with them.
void SetFixedDrawingState();
// Runs the current scene, then shows the frame.
void DoFrame();
// Releases what StartUp made.
void ShutDown();

void RunGameScene();
void RunExitScene();
void RunMenuScene();
void RunScoreScene();

// Immediate-mode button in the fixed view (ViewWidth x ViewHeight): draws itself, and on a click
// over it switches to Scene and consumes the click. True when this call switched the scene.
bool Button(SceneProc Scene, std::string_view Label, float X, float Y, float Width, float Height);
