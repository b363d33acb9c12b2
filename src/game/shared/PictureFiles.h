// The eleven picture files of the game, in the order start-up loads them. The game, the picture
// generator (tools/), the build (which reads the names from this file) and the tests share this
// one list; TPictureFile names a picture by its place in it. "ligthning" is spelled so on disk.
#pragma once

#include <array>
#include <cstdint>

enum class TPictureFile : std::uint8_t {
  Player,
  Enemy,
  SlowField,
  FastField,
  ShootField,
  Map,
  Turret,
  Bullet1, // the player's bullets
  Bullet2, // the enemies' and the turrets' bullets
  Lightning,
  Sensor,
};

inline constexpr std::array<const char*, 11> PictureFiles = {
    "player.tga",         "enemy.tga",     "SlowTimeField.tga", "FastTimeField.tga",
    "ShootTimeField.tga", "map.tga",       "turret.tga",        "bullet1.tga",
    "bullet2.tga",        "ligthning.tga", "sensor.tga",
};

// The folder under the working directory that holds them.
#ifdef _WIN32
inline constexpr const char* PictureFolder = "picture\\";
#else
inline constexpr const char* PictureFolder = "picture/";
#endif
