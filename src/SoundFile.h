// The reader of the game's sound effects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a WAV file of 16-bit PCM, mono, SoundRate samples a second into Samples. False, with the
// reason in ErrorText, for a missing or unreadable file or any other format.
bool LoadSoundFile(const std::string& FileName, std::vector<std::int16_t>& Samples,
                   std::string& ErrorText);
// The same checks on a file already in memory. Both leave Samples alone when they refuse.
bool ReadSoundData(const std::uint8_t* Data, std::size_t Size, std::vector<std::int16_t>& Samples,
                   std::string& ErrorText);
