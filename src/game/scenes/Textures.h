// The eleven pictures of the game, loaded once at start-up.
#pragma once

#include "../../UTypes.h"

extern TTexture PlayerTexture;
extern TTexture EnemyTexture;
extern TTexture SlowFieldTexture;
extern TTexture FastFieldTexture;
extern TTexture ShootFieldTexture;
extern TTexture MapTexture;
extern TTexture TurretTexture;
extern TTexture Bullet1Texture;
extern TTexture Bullet2Texture;
extern TTexture LightningTexture;
extern TTexture SensorTexture;

// Loads the eleven pictures from picture/ under the working directory, in the fixed order.
void LoadTextures();
