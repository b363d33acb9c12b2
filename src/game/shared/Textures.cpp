#include "Textures.h"

#include "MyUnit.h"

#include <string>

std::array<TTexture, PictureFiles.size()> PictureTextures;

namespace {

constexpr TTexture& Record(TPictureFile File) {
  return PictureTextures[static_cast<std::size_t>(File)];
}

} // namespace

TTexture& PlayerTexture = Record(TPictureFile::Player);
TTexture& EnemyTexture = Record(TPictureFile::Enemy);
TTexture& SlowFieldTexture = Record(TPictureFile::SlowField);
TTexture& FastFieldTexture = Record(TPictureFile::FastField);
TTexture& ShootFieldTexture = Record(TPictureFile::ShootField);
TTexture& MapTexture = Record(TPictureFile::Map);
TTexture& TurretTexture = Record(TPictureFile::Turret);
TTexture& Bullet1Texture = Record(TPictureFile::Bullet1);
TTexture& Bullet2Texture = Record(TPictureFile::Bullet2);
TTexture& LightningTexture = Record(TPictureFile::Lightning);
TTexture& SensorTexture = Record(TPictureFile::Sensor);

void LoadTextures() {
  for (std::size_t i = 0; i < PictureFiles.size(); ++i) {
    LoadTextureFile(PictureTextures[i], std::string(PictureFolder) + PictureFiles[i]);
  }
}
