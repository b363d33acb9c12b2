// The game's eleven pictures, each drawn in code.
//
// Orientation: the game shows a picture's first row at the top of its quad when the quad is not
// turned. The player and the enemies face down the picture (their angle 0 faces down the
// screen); the turret's barrel points up it (its shots leave up the screen at angle 0). The
// sprites are opaque shapes with dark outlines on full transparency: a unit is drawn over black
// before the map, so any partly covered pixel at its edge darkens instead of showing the floor.
#pragma once

#include "PictureKit.h"

kit::TPicture PaintPlayer();
kit::TPicture PaintEnemy();
kit::TPicture PaintTurret();
kit::TPicture PaintPlayerBullet();
kit::TPicture PaintEnemyBullet();
kit::TPicture PaintShootField();
kit::TPicture PaintSlowField();
kit::TPicture PaintFastField();
kit::TPicture PaintSensor();
kit::TPicture PaintLightning();
kit::TPicture PaintMap();

// The player's sprite as a shader: (u, v) measured from the middle of its 64 x 64 picture.
kit::TTexel PlayerTexel(float u, float v);

// The game's icon, Size x Size pixels: the player's sprite on a plain rounded backdrop, its
// edges smoothed by partial transparency.
kit::TPicture PaintIcon(int Size);
