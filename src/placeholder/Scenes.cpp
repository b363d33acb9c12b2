// Temporary: replaced by the menu.
#include "game/scenes/Scenes.h"
#include <GL/gl.h>
void RunMenuScene() {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
