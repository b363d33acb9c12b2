// The game's sound effects, one WAV file each (16-bit PCM, mono, SoundRate samples a second). The
// game, the sound generator (tools/), the build, the installer and the tests share this one list;
// TSound names an effect by its place in it.
#pragma once

#include <array>
#include <cstdint>

enum class TSound : std::uint8_t {
  PlayerShot,     // the player fires
  EnemyShot,      // an enemy fires
  TurretShot,     // a turret fires
  WallHit,        // a bullet ends on a wall
  UnitHit,        // a player's bullet hits a unit
  EnemyDestroyed, // an enemy dies
  PlayerStruck,   // an enemy's or a turret's bullet reaches the player (it does no harm)
  FieldCharge,    // the right button is held: a rising tone
  FieldThrow,     // a time field is thrown
  FieldEnd,       // a time field runs out
  TrapFire,       // a trap's lightning strikes
  ButtonHover,    // a button comes under the pointer
  ButtonPress,    // a button is pressed
  ScoreScene,     // the score scene appears
};

inline constexpr std::array<const char*, 14> SoundFiles = {
    "player_shot.wav",  "enemy_shot.wav",      "turret_shot.wav",   "wall_hit.wav",
    "unit_hit.wav",     "enemy_destroyed.wav", "player_struck.wav", "field_charge.wav",
    "field_throw.wav",  "field_end.wav",       "trap_fire.wav",     "button_hover.wav",
    "button_press.wav", "score_scene.wav",
};

// Samples a second of every effect.
inline constexpr std::int32_t SoundRate = 22050;

// The folder under the working directory that holds them.
#ifdef _WIN32
inline constexpr const char* SoundFolder = "sound\\";
#else
inline constexpr const char* SoundFolder = "sound/";
#endif
