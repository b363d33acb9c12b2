#include "Textures.h"

#include "MyUnit.h"
#include "PictureFiles.h"

#include <string>

TTexture PlayerTexture;
TTexture EnemyTexture;
TTexture SlowFieldTexture;
TTexture FastFieldTexture;
TTexture ShootFieldTexture;
TTexture MapTexture;
TTexture TurretTexture;
TTexture Bullet1Texture;
TTexture Bullet2Texture;
TTexture LightningTexture;
TTexture SensorTexture;

void LoadTextures() {
  // In the order of PictureFiles.
  TTexture* const Records[PictureFiles.size()] = {
      &PlayerTexture,     &EnemyTexture,     &SlowFieldTexture, &FastFieldTexture,
      &ShootFieldTexture, &MapTexture,       &TurretTexture,    &Bullet1Texture,
      &Bullet2Texture,    &LightningTexture, &SensorTexture,
  };
  for (std::size_t i = 0; i < PictureFiles.size(); ++i) {
    LoadTextureFile(*Records[i], std::string(PictureFolder) + PictureFiles[i]);
  }
}
