// The eleven picture records, loaded once at start-up and bound by the units and the map.
#pragma once

#include "PictureFiles.h"
#include "UTypes.h"

// The records in the order of PictureFiles; each is also named below.
extern std::array<TTexture, PictureFiles.size()> PictureTextures;

extern TTexture& PlayerTexture;
extern TTexture& EnemyTexture;
extern TTexture& SlowFieldTexture;
// Loaded and never drawn (no unit binds it); kept on purpose, like the file itself.
extern TTexture& FastFieldTexture;
extern TTexture& ShootFieldTexture;
extern TTexture& MapTexture;
extern TTexture& TurretTexture;
extern TTexture& Bullet1Texture;
extern TTexture& Bullet2Texture;
extern TTexture& LightningTexture;
extern TTexture& SensorTexture;

// Loads the pictures of PictureFiles from the picture folder, in that order. A missing or
// malformed one is left out (its quads are drawn untextured).
void LoadTextures();
