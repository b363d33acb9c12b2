// The world draw: camera on the player, every unit, then the map behind them.
#include "World.h"

#include "WinMessages.h"
#include "game/scenes/GameFlow.h"
#include "game/units/Units.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>

void WorldDraw() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  // The player's position goes to the window centre (400, 300), whatever the window size.
  if (Player != nullptr) {
    glTranslatef(static_cast<float>(400.0L - Player->Pos.x),
                 static_cast<float>(300.0L - Player->Pos.y), 0);
  }
  glEnable(GL_TEXTURE_2D);
  // With depth testing on and every quad at depth 0, the first fragment drawn at a pixel stays:
  // lower slots show in front of higher ones, and the map, drawn last, only where no unit is.
  const std::size_t Slots =
      std::min(static_cast<std::size_t>(std::max(UnitSlots, 0)), Units.size());
  for (std::size_t i = 0; i < Slots; ++i) {
    if (Units[i] != nullptr) {
      Units[i]->Draw();
    }
  }
  DrawMap();
  if (GameOver) {
    CurrentScene = ScoreScene;
  }
}
