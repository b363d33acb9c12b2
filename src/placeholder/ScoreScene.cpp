// Temporary: replaced by the score scene.
#include "game/scenes/Scenes.h"
void RunScoreScene() {}
