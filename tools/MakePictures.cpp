// kelto-pictures FOLDER: draws the game's eleven pictures and writes them into FOLDER (created if
// needed). The output depends on nothing but this program, so every build writes the same bytes.
#include "Pictures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

struct TEntry {
  const char* FileName;
  std::function<kit::TPicture()> Draw;
};

bool WriteFile(const std::filesystem::path& Path, const std::vector<std::uint8_t>& Bytes) {
  // Written beside the target and renamed over it, so a reader never sees half a picture.
  const std::filesystem::path Temporary = Path.string() + ".part";
  {
    std::ofstream File(Temporary, std::ios::binary | std::ios::trunc);
    File.write(reinterpret_cast<const char*>(Bytes.data()),
               static_cast<std::streamsize>(Bytes.size()));
    if (!File.flush()) {
      return false;
    }
  }
  std::error_code Error;
  std::filesystem::rename(Temporary, Path, Error);
  return !Error;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path Folder = argv[1];
  std::error_code Error;
  std::filesystem::create_directories(Folder, Error);
  if (Error) {
    std::fprintf(stderr, "kelto-pictures: cannot create %s: %s\n", Folder.string().c_str(),
                 Error.message().c_str());
    return 1;
  }
  const TEntry Entries[] = {
      {"player.tga", PaintPlayer},
      {"enemy.tga", PaintEnemy},
      {"SlowTimeField.tga", PaintSlowField},
      {"FastTimeField.tga", PaintFastField},
      {"ShootTimeField.tga", PaintShootField},
      {"map.tga", PaintMap},
      {"turret.tga", PaintTurret},
      {"bullet1.tga", PaintPlayerBullet},
      {"bullet2.tga", PaintEnemyBullet},
      {"ligthning.tga", PaintLightning},
      {"sensor.tga", PaintSensor},
  };
  for (const TEntry& Entry : Entries) {
    const kit::TPicture Picture = Entry.Draw();
    if (!WriteFile(Folder / Entry.FileName, Picture.TgaBytes())) {
      std::fprintf(stderr, "kelto-pictures: cannot write %s\n",
                   (Folder / Entry.FileName).string().c_str());
      return 1;
    }
  }
  return 0;
}
