// The effects' reader, the generator's effects and the mixer on buffers.
#include "Mixer.h"
#include "SoundFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using TSamples = std::vector<std::int16_t>;
using TBytes = std::vector<std::uint8_t>;

// A WAV file as the generator writes it, holding the samples 1 and -2.
const TBytes GoodWav = {'R',  'I',  'F', 'F', 40,   0,    0, 0, 'W', 'A', 'V',  'E',
                        'f',  'm',  't', ' ', 16,   0,    0, 0, 1,   0,   1,    0,
                        0x22, 0x56, 0,   0,   0x44, 0xAC, 0, 0, 2,   0,   16,   0,
                        'd',  'a',  't', 'a', 4,    0,    0, 0, 1,   0,   0xFE, 0xFF};

TBytes With(std::size_t Offset, std::uint8_t Value) {
  TBytes File = GoodWav;
  File[Offset] = Value;
  return File;
}

std::string Write(const TBytes& Bytes, const std::string& Name) {
  const fs::path Path = fs::path(testing::TempDir()) / Name;
  std::ofstream(Path, std::ios::binary) << std::string(Bytes.begin(), Bytes.end());
  return Path.string();
}

TEST(SoundFile, ReadsTheGeneratorsFormatAndRefusesAnyOther) {
  TBytes Listed = With(4, 52); // an odd-sized chunk it does not know, with its pad byte
  const TBytes List = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  Listed.insert(Listed.begin() + 36, List.begin(), List.end());
  TBytes NoData(GoodWav.begin(), GoodWav.begin() + 36);
  NoData[4] = 28;
  const std::string Fifo = (fs::path(testing::TempDir()) / "kelto_sound_fifo").string();
  ::unlink(Fifo.c_str());
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  const std::tuple<const char*, std::string, TSamples> Cases[] = {
      {"good", Write(GoodWav, "kelto_good.wav"), {1, -2}},
      {"unknown chunk", Write(Listed, "kelto_listed.wav"), {1, -2}},
      {"not RIFF", Write(With(0, 'X'), "kelto_bad.wav"), {7}},
      {"not WAVE", Write(With(11, 'X'), "kelto_bad.wav"), {7}},
      {"float", Write(With(20, 3), "kelto_bad.wav"), {7}},
      {"stereo", Write(With(22, 2), "kelto_bad.wav"), {7}},
      {"another rate", Write(With(25, 0xAC), "kelto_bad.wav"), {7}},
      {"8-bit", Write(With(34, 8), "kelto_bad.wav"), {7}},
      {"RIFF size beyond the file", Write(With(4, 41), "kelto_bad.wav"), {7}},
      {"data size beyond the file", Write(With(40, 6), "kelto_bad.wav"), {7}},
      {"half a sample", Write(With(40, 3), "kelto_bad.wav"), {7}},
      {"no format chunk", Write(With(12, 'j'), "kelto_bad.wav"), {7}},
      {"no data chunk", Write(NoData, "kelto_bad.wav"), {7}},
      {"missing", (fs::path(testing::TempDir()) / "kelto_none.wav").string(), {7}},
      {"FIFO", Fifo, {7}},
  };
  for (const auto& [What, Path, Want] : Cases) {
    TSamples Samples = {7};
    std::string Error;
    EXPECT_EQ(LoadSoundFile(Path, Samples, Error), Want.size() == 2) << What << ": " << Error;
    EXPECT_EQ(Samples, Want) << What;
    EXPECT_EQ(Error.empty(), Want.size() == 2) << What;
  }
  ::unlink(Fifo.c_str());
}

// Peak at most -1 dBFS, mean within half a step of 0, the first and last half millisecond near
// silence (no click), and the same bytes from a second run of the generator.
TEST(GeneratedSounds, EveryEffectIsBelowFullScaleCentredFadedAndTheSameEachRun) {
  std::string Folder = (fs::temp_directory_path() / "kelto-sounds-XXXXXX").string();
  ASSERT_NE(mkdtemp(Folder.data()), nullptr);
  const std::string Command = std::string("'") + KELTO_PICTURE_TOOL + "' --sounds '" + Folder + "'";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
  const auto Bytes = [](const fs::path& Path) {
    std::ifstream File(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(File), {});
  };
  for (const char* Name : SoundFiles) {
    const fs::path Built = fs::path(KELTO_RUN_DIR) / "sound" / Name;
    TSamples s;
    std::string Error;
    ASSERT_TRUE(LoadSoundFile(Built.string(), s, Error)) << Name << ": " << Error;
    ASSERT_GT(s.size(), 22u) << Name;
    std::int64_t Sum = 0, Peak = 0, Ends = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      Sum += s[i];
      Peak = std::max<std::int64_t>(Peak, std::abs(s[i]));
      Ends = i < 11 || i + 11 >= s.size() ? std::max<std::int64_t>(Ends, std::abs(s[i])) : Ends;
    }
    EXPECT_LE(Peak, 29204) << Name;
    EXPECT_LE(2 * std::abs(Sum), static_cast<std::int64_t>(s.size())) << Name;
    EXPECT_LE(4 * Ends, Peak) << Name;
    EXPECT_EQ(Bytes(Built), Bytes(fs::path(Folder) / Name)) << Name;
  }
  fs::remove_all(Folder);
}

// A mixer at the effects' rate and full volume, each effect a constant level or a given list.
struct TMixerTest : testing::Test {
  TMixer Mixer;
  TMixerTest() {
    Mixer.SetOutputRate(SoundRate);
    Mixer.SetVolume(100);
    Mixer.SetEffect(TSound::PlayerShot, TSamples(1000, 10000));
    Mixer.SetEffect(TSound::UnitHit, TSamples(1000, 1));
  }
  void Play(TSound Sound, float x = 400, float y = 300, float Factor = 1) {
    Mixer.Play({Sound, x, y, Factor}, 400, 300);
  }
  TSamples Mix(std::int32_t Frames) {
    TSamples Out(2 * static_cast<std::size_t>(Frames), 99);
    Mixer.Mix(Out.data(), Frames);
    return Out;
  }
};

TEST_F(TMixerTest, ALoneCentredVoiceAtItsOwnRateGivesBackItsSamples) {
  Mixer.SetEffect(TSound::WallHit, {1000, -2000, 32767, -32768});
  Play(TSound::WallHit);
  EXPECT_EQ(Mix(6), TSamples({1000, 1000, -2000, -2000, 32767, 32767, -32768, -32768, 0, 0, 0, 0}));
  EXPECT_EQ(Mixer.ActiveVoices(), 0);
}

// Full within 100 pixels, silent from 900, linear between; the far channel down to 30 % at 400
// pixels to the side; the volume squared.
TEST_F(TMixerTest, PlaceAndVolumeSetEachChannelsLevel) {
  const std::tuple<float, float, int, int, int> Cases[] = {
      {400, 300, 100, 10000, 10000}, {450, 300, 100, 9125, 10000}, {800, 300, 100, 1875, 6250},
      {0, 300, 100, 6250, 1875},     {400, 800, 100, 5000, 5000},  {400, 1250, 100, 0, 0},
      {400, 300, 50, 2500, 2500},
  };
  for (const auto& [x, y, Volume, Left, Right] : Cases) {
    Mixer.SetVolume(Volume);
    Play(TSound::PlayerShot, x, y);
    const TSamples Out = Mix(1);
    EXPECT_NEAR(Out[0], Left, 2) << x << " " << y;
    EXPECT_NEAR(Out[1], Right, 2) << x << " " << y;
    Mixer.Stop(TSound::PlayerShot);
    Mix(1000);
  }
}

TEST_F(TMixerTest, TheOldestVoiceGivesWayAndTheSumSaturates) {
  Play(TSound::PlayerShot);
  for (int i = 0; i < TMixer::VoiceCount; ++i) {
    Play(TSound::UnitHit);
  }
  EXPECT_EQ(Mixer.ActiveVoices(), TMixer::VoiceCount);
  EXPECT_EQ(Mix(1)[0], TMixer::VoiceCount);
  Mixer.SetEffect(TSound::UnitHit, {30000, -30000});
  for (int i = 0; i < TMixer::VoiceCount; ++i) {
    Play(TSound::UnitHit);
  }
  EXPECT_EQ(Mix(2), TSamples({32767, 32767, -32768, -32768}));
}

// Half speed, by the time factor or by an output at twice the rate: every sample comes twice as
// late, the steps between interpolated, and the voice lasts twice as long.
TEST_F(TMixerTest, ASlowedVoiceIsLowerAndLonger) {
  Mixer.SetEffect(TSound::WallHit, {0, 100, 200, 300, 400, 500, 600, 700, 800, 900});
  for (const auto& [Factor, Rate] : {std::pair(0.5f, SoundRate), std::pair(1.0f, 2 * SoundRate)}) {
    Mixer.SetOutputRate(Rate);
    Play(TSound::WallHit, 400, 300, Factor);
    const TSamples Out = Mix(22);
    for (std::size_t i = 0; i < 22; ++i) {
      EXPECT_EQ(Out[2 * i], i < 19 ? 50 * i : i == 19 ? 450 : 0) << Rate << " " << i;
    }
    EXPECT_EQ(Mixer.ActiveVoices(), 0);
  }
}

} // namespace
