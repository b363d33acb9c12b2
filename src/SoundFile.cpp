// The effects' reader: the plain WAV layout the generator writes (a RIFF file of chunks, "fmt "
// before "data"), strictly: any other sample format is refused rather than played wrongly, chunks
// it does not know are skipped, and no size a file claims is believed beyond the file's end.
#include "SoundFile.h"

#include "MyUnit.h"
#include "game/shared/SoundFiles.h"

#include <cerrno>
#include <cstring>

namespace {

// Larger than any effect could be (six minutes); a bigger file is not read into memory at all.
constexpr std::size_t MaxFileBytes = 16 << 20;

std::uint32_t Little(const std::uint8_t* Bytes, int Count) {
  std::uint32_t Value = 0;
  for (int i = Count - 1; i >= 0; --i) {
    Value = Value << 8 | Bytes[i];
  }
  return Value;
}

bool Refuse(std::string& ErrorText, const std::string& Reason) {
  ErrorText = Reason;
  return false;
}

// The one format the game plays: 16-bit PCM, mono, SoundRate samples a second.
bool FormatFits(const std::uint8_t* Body, std::uint32_t Size) {
  return Size >= 16 && Little(Body, 2) == 1 && Little(Body + 2, 2) == 1 &&
         Little(Body + 4, 4) == SoundRate && Little(Body + 8, 4) == 2 * SoundRate &&
         Little(Body + 12, 2) == 2 && Little(Body + 14, 2) == 16;
}

} // namespace

bool ReadSoundData(const std::uint8_t* Data, std::size_t Size, std::vector<std::int16_t>& Samples,
                   std::string& ErrorText) {
  if (Size < 12 || std::memcmp(Data, "RIFF", 4) != 0 || std::memcmp(Data + 8, "WAVE", 4) != 0) {
    return Refuse(ErrorText, "not a WAV file");
  }
  const std::uint64_t End = std::uint64_t{Little(Data + 4, 4)} + 8;
  if (End > Size) {
    return Refuse(ErrorText, "its RIFF header claims " + std::to_string(End) +
                                 " bytes, the file holds " + std::to_string(Size));
  }
  bool HaveFormat = false;
  for (std::uint64_t Offset = 12; Offset + 8 <= End;) {
    const std::uint8_t* Chunk = Data + Offset;
    const std::uint32_t ChunkSize = Little(Chunk + 4, 4);
    const std::string Name(reinterpret_cast<const char*>(Chunk), 4);
    if (ChunkSize > End - Offset - 8) {
      return Refuse(ErrorText, "a chunk claims more bytes than the file holds");
    }
    if (Name == "fmt ") {
      if (!FormatFits(Chunk + 8, ChunkSize)) {
        return Refuse(ErrorText,
                      "not 16-bit PCM, mono, " + std::to_string(SoundRate) + " samples a second");
      }
      HaveFormat = true;
    } else if (Name == "data") {
      if (!HaveFormat) {
        return Refuse(ErrorText, "no format chunk before the samples");
      }
      if (ChunkSize % 2 != 0) {
        return Refuse(ErrorText, "half a sample at the end");
      }
      std::vector<std::int16_t> Read(ChunkSize / 2);
      for (std::size_t i = 0; i < Read.size(); ++i) {
        Read[i] = static_cast<std::int16_t>(Little(Chunk + 8 + 2 * i, 2));
      }
      Samples = std::move(Read);
      return true;
    }
    Offset += 8 + std::uint64_t{ChunkSize} + ChunkSize % 2; // an odd chunk has a pad byte
  }
  return Refuse(ErrorText, "no samples");
}

bool LoadSoundFile(const std::string& FileName, std::vector<std::int16_t>& Samples,
                   std::string& ErrorText) {
  std::FILE* File = OpenRegularFile(FileName, ErrorText);
  if (File == nullptr) {
    return false;
  }
  // Read in pieces, so the memory taken follows what the file really holds.
  std::vector<std::uint8_t> Bytes;
  std::uint8_t Piece[1 << 16];
  std::size_t Count = 0;
  errno = 0;
  while (Bytes.size() <= MaxFileBytes && (Count = std::fread(Piece, 1, sizeof Piece, File)) > 0) {
    Bytes.insert(Bytes.end(), Piece, Piece + Count);
  }
  const int Error = std::ferror(File) != 0 ? (errno != 0 ? errno : EIO) : 0;
  std::fclose(File);
  if (Error != 0) {
    return Refuse(ErrorText, std::strerror(Error));
  }
  if (Bytes.size() > MaxFileBytes) {
    return Refuse(ErrorText, "larger than " + std::to_string(MaxFileBytes >> 20) + " MB");
  }
  return ReadSoundData(Bytes.data(), Bytes.size(), Samples, ErrorText);
}
