// Temporary: replaced by the picture loader.
#include "game/scenes/Textures.h"
#include "MyUnit.h"
TTexture PlayerTexture, EnemyTexture, SlowFieldTexture, FastFieldTexture, ShootFieldTexture,
    MapTexture, TurretTexture, Bullet1Texture, Bullet2Texture, LightningTexture, SensorTexture;
void LoadTextures() {}
TTgaResult ReadTgaFile(TTexture&, const std::string&, std::string*) {
  return TTgaResult::Missing;
}
bool LoadTextureFile(TTexture&, const std::string&) {
  return false;
}
