// The eleven picture records and their loading at start-up.
#include "Textures.h"

#include "MyUnit.h"

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

namespace {

#ifdef _WIN32
constexpr const char* PictureFolder = "picture\\";
#else
constexpr const char* PictureFolder = "picture/";
#endif

void LoadPicture(TTexture& Texture, const char* FileName) {
  // A picture that is missing or malformed is left out: its quads are drawn untextured.
  LoadTextureFile(Texture, std::string(PictureFolder) + FileName);
}

} // namespace

void LoadTextures() {
  LoadPicture(PlayerTexture, "player.tga");
  LoadPicture(EnemyTexture, "enemy.tga");
  LoadPicture(SlowFieldTexture, "SlowTimeField.tga");
  LoadPicture(FastFieldTexture, "FastTimeField.tga");
  LoadPicture(ShootFieldTexture, "ShootTimeField.tga");
  LoadPicture(MapTexture, "map.tga");
  LoadPicture(TurretTexture, "turret.tga");
  LoadPicture(Bullet1Texture, "bullet1.tga");
  LoadPicture(Bullet2Texture, "bullet2.tga");
  LoadPicture(LightningTexture, "ligthning.tga");
  LoadPicture(SensorTexture, "sensor.tga");
}
