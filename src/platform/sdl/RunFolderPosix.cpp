// The run folder of an installed game. An installation follows Debian's layout for games: the
// executable in <prefix>/games, its data in <prefix>/share/games/kelto. Nothing is written there:
// each player's run folder is their own data folder ($XDG_DATA_HOME/kelto, by default
// ~/.local/share/kelto), holding score.txt and "picture" and "sound", symbolic links to the
// installed pictures and sounds. The installation is found from the executable's own place, so it
// may be moved: the next start points the link at the new place.
#include "platform/PlatformLayer.h"

#include <SDL.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// The installed data, seen from the executable's folder; its pictures mark an installation.
constexpr const char* InstalledData = "../share/games/kelto";

std::string Failure(const std::string& What, const std::string& Name, int Error) {
  return What + " " + Name + ": " + std::strerror(Error);
}

// $XDG_DATA_HOME/kelto, or ~/.local/share/kelto when that is unset or not an absolute path (the
// base directory rules ignore a relative one). Empty when the home folder is unknown too.
std::string PlayerFolder() {
  const char* DataHome = std::getenv("XDG_DATA_HOME");
  if (DataHome != nullptr && DataHome[0] == '/') {
    return std::string(DataHome) + "/kelto";
  }
  const char* Home = std::getenv("HOME");
  if (Home == nullptr || Home[0] == '\0') {
    const passwd* Entry = ::getpwuid(::getuid());
    Home = Entry != nullptr ? Entry->pw_dir : nullptr;
  }
  return Home != nullptr && Home[0] != '\0' ? std::string(Home) + "/.local/share/kelto" : "";
}

// Creates Folder and any missing folder above it, readable by the player alone as the base
// directory rules ask.
bool MakeFolders(const std::string& Folder, std::string& ErrorText) {
  std::size_t End = 0;
  do {
    End = Folder.find('/', End + 1);
    const std::string Part = Folder.substr(0, End);
    if (::mkdir(Part.c_str(), 0700) != 0 && errno != EEXIST) {
      ErrorText = Failure("cannot create", Part, errno);
      return false;
    }
  } while (End != std::string::npos);
  return true;
}

// Makes Name ("picture", "sound") in the working folder lead to the installed folder of that name
// in Data. A real folder of that name is the player's own set and is left alone.
bool LinkData(const fs::path& Data, const std::string& Name, std::string& ErrorText) {
  const std::string Target = (Data / Name).string();
  struct stat Info;
  if (::lstat(Name.c_str(), &Info) == 0 && !S_ISLNK(Info.st_mode)) {
    return true;
  }
  std::error_code Error;
  if (fs::read_symlink(Name, Error) == Target) {
    return true;
  }
  // Made under another name and renamed over the old link, so the link is never missing.
  const std::string Temporary = Name + ".link";
  ::unlink(Temporary.c_str());
  if (::symlink(Target.c_str(), Temporary.c_str()) != 0 ||
      ::rename(Temporary.c_str(), Name.c_str()) != 0) {
    ErrorText = Failure("cannot link", Name + " to " + Target, errno);
    ::unlink(Temporary.c_str());
    return false;
  }
  return true;
}

} // namespace

bool TPlatformLayer::EnterInstalledRunFolder(bool& Moved, std::string& ErrorText) {
  Moved = false;
  char* Base = SDL_GetBasePath();
  if (Base == nullptr) {
    return true;
  }
  std::error_code Error;
  const fs::path Data = fs::canonical(fs::path(Base) / InstalledData, Error);
  SDL_free(Base);
  if (Error || !fs::is_directory(Data / "picture", Error)) {
    return true; // not an installation: the game runs where it was started
  }
  const std::string Folder = PlayerFolder();
  if (Folder.empty()) {
    ErrorText = "cannot find the player's data folder: neither XDG_DATA_HOME nor HOME is set";
    return false;
  }
  if (!MakeFolders(Folder, ErrorText)) {
    return false;
  }
  if (::chdir(Folder.c_str()) != 0) {
    ErrorText = Failure("cannot enter", Folder, errno);
    return false;
  }
  Moved = true;
  if (!LinkData(Data, "picture", ErrorText)) {
    return false;
  }
  // Sound never ends the game: without the link it plays silent, and loading the sounds says why.
  std::string SoundError;
  LinkData(Data, "sound", SoundError);
  return true;
}
