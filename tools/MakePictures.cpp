// kelto-pictures FOLDER: draws the game's eleven pictures and writes them into FOLDER (created if
// needed). kelto-pictures --icons FOLDER: draws the game's icon for the desktops' icon themes
// (kelto-SIZE.png) and for the Windows executable (kelto.ico). kelto-pictures --sounds FOLDER:
// synthesizes the game's sound effects into FOLDER as WAV files. The output depends on nothing but
// this program, so every build writes the same bytes.
#include "Pictures.h"
#include "Sounds.h"
#include "game/shared/PictureFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

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

// The icon sizes an icon theme gets, and those the Windows icon holds (Explorer's small, medium,
// large and extra large views).
constexpr int ThemeIconSizes[] = {32, 48, 64, 128, 256};
constexpr int WindowsIconSizes[] = {16, 32, 48, 256};

bool WriteIcons(const std::filesystem::path& Folder) {
  for (const int Size : ThemeIconSizes) {
    const std::filesystem::path Path = Folder / ("kelto-" + std::to_string(Size) + ".png");
    if (!WriteFile(Path, PaintIcon(Size).PngBytes())) {
      std::fprintf(stderr, "kelto-pictures: cannot write %s\n", Path.string().c_str());
      return false;
    }
  }
  std::vector<kit::TPicture> Images;
  for (const int Size : WindowsIconSizes) {
    Images.push_back(PaintIcon(Size));
  }
  if (!WriteFile(Folder / "kelto.ico", kit::IcoBytes(Images))) {
    std::fprintf(stderr, "kelto-pictures: cannot write %s\n",
                 (Folder / "kelto.ico").string().c_str());
    return false;
  }
  return true;
}

bool WriteSounds(const std::filesystem::path& Folder) {
  for (std::size_t i = 0; i < SoundFiles.size(); ++i) {
    const std::filesystem::path Path = Folder / SoundFiles[i];
    if (!WriteFile(Path, WavBytes(MakeSound(static_cast<TSound>(i))))) {
      std::fprintf(stderr, "kelto-pictures: cannot write %s\n", Path.string().c_str());
      return false;
    }
  }
  return true;
}

} // namespace

int main(int argc, char** argv) {
  const std::string Mode = argc == 3 ? argv[1] : "";
  const bool Icons = Mode == "--icons", Sounds = Mode == "--sounds";
  if (argc != 2 && !Icons && !Sounds) {
    std::fprintf(stderr, "usage: %s FOLDER\n       %s --icons FOLDER\n       %s --sounds FOLDER\n",
                 argv[0], argv[0], argv[0]);
    return 2;
  }
  const std::filesystem::path Folder = argv[argc - 1];
  std::error_code Error;
  std::filesystem::create_directories(Folder, Error);
  if (Error) {
    std::fprintf(stderr, "kelto-pictures: cannot create %s: %s\n", Folder.string().c_str(),
                 Error.message().c_str());
    return 1;
  }
  if (Icons) {
    return WriteIcons(Folder) ? 0 : 1;
  }
  if (Sounds) {
    return WriteSounds(Folder) ? 0 : 1;
  }
  // One painter per picture file, in the order of the game's list.
  using TPainter = kit::TPicture (*)();
  const TPainter Painters[PictureFiles.size()] = {
      PaintPlayer, PaintEnemy,        PaintSlowField,   PaintFastField, PaintShootField, PaintMap,
      PaintTurret, PaintPlayerBullet, PaintEnemyBullet, PaintLightning, PaintSensor,
  };
  for (std::size_t i = 0; i < PictureFiles.size(); ++i) {
    const std::filesystem::path Path = Folder / PictureFiles[i];
    if (!WriteFile(Path, Painters[i]().TgaBytes())) {
      std::fprintf(stderr, "kelto-pictures: cannot write %s\n", Path.string().c_str());
      return 1;
    }
  }
  return 0;
}
