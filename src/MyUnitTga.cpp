// Pictures: uncompressed true-colour TGA images read into texture records and uploaded to OpenGL.
#include "MyUnit.h"

#include "GlApi.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <string>
#include <system_error>

namespace {

// The only header accepted: no image ID, no colour map, type 2 (uncompressed true colour),
// colour-map fields zero, origin (0, 0).
constexpr std::uint8_t ReferenceHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

constexpr std::uint64_t UnknownLength = std::numeric_limits<std::uint64_t>::max();

// Pixel data is read in slices when the length of the source is not known, so that a header
// claiming a huge image cannot make us allocate more than the data that actually arrives.
constexpr std::size_t ReadSlice = std::size_t{1} << 20;

class TByteSource {
public:
  virtual ~TByteSource() = default;
  // Reads up to Count bytes and returns how many arrived.
  virtual std::size_t Read(std::uint8_t* Buffer, std::size_t Count) = 0;
  // Bytes left after the read position, or UnknownLength.
  virtual std::uint64_t Left() const = 0;
};

class TMemorySource final : public TByteSource {
public:
  TMemorySource(const std::uint8_t* Data, std::size_t Size) : Data(Data), Size(Size) {}
  std::size_t Read(std::uint8_t* Buffer, std::size_t Count) override {
    const std::size_t Taken = std::min(Count, Size - Position);
    if (Taken > 0) {
      std::memcpy(Buffer, Data + Position, Taken);
    }
    Position += Taken;
    return Taken;
  }
  std::uint64_t Left() const override { return Size - Position; }

private:
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Position = 0;
};

class TFileSource final : public TByteSource {
public:
  TFileSource(std::FILE* File, std::uint64_t Length) : File(File), Length(Length) {}
  std::size_t Read(std::uint8_t* Buffer, std::size_t Count) override {
    // A failed read names its own reason, never one left over from an earlier call.
    errno = 0;
    const std::size_t Taken = std::fread(Buffer, 1, Count, File);
    if (Taken < Count && std::ferror(File) && ErrorNumber == 0) {
      ErrorNumber = errno != 0 ? errno : EIO;
    }
    Position += Taken;
    return Taken;
  }
  std::uint64_t Left() const override {
    if (Length == UnknownLength) {
      return UnknownLength;
    }
    return Length > Position ? Length - Position : 0;
  }
  int Error() const { return ErrorNumber; }

private:
  std::FILE* File;
  std::uint64_t Length;
  std::uint64_t Position = 0;
  int ErrorNumber = 0;
};

void DropPixels(TTexture& Texture) {
  std::vector<std::uint8_t>().swap(Texture.Pixels);
}

// Reads the pixel data into Pixels (already sized to hold everything when the length is known).
bool ReadPixelData(TByteSource& Source, std::vector<std::uint8_t>& Pixels, std::size_t ImageSize) {
  if (Source.Left() != UnknownLength) {
    Pixels.resize(ImageSize);
    return Source.Read(Pixels.data(), ImageSize) == ImageSize;
  }
  std::size_t Done = 0;
  while (Done < ImageSize) {
    const std::size_t Slice = std::min(ReadSlice, ImageSize - Done);
    Pixels.resize(Done + Slice);
    const std::size_t Taken = Source.Read(Pixels.data() + Done, Slice);
    Done += Taken;
    if (Taken < Slice) {
      return false;
    }
  }
  return true;
}

TTgaResult ReadTga(TTexture& Texture, TByteSource& Source) {
  std::uint8_t Header[12];
  if (Source.Read(Header, sizeof Header) < sizeof Header ||
      std::memcmp(Header, ReferenceHeader, sizeof Header) != 0) {
    return TTgaResult::BadHeader;
  }
  std::uint8_t Layout[6];
  if (Source.Read(Layout, sizeof Layout) < sizeof Layout) {
    return TTgaResult::ShortLayout;
  }
  // Width and height are kept even when the checks below reject the picture.
  Texture.Width = Layout[0] + 256u * Layout[1];
  Texture.Height = Layout[2] + 256u * Layout[3];
  if (Texture.Width == 0 || Texture.Height == 0) {
    return TTgaResult::BadSize;
  }
  if (Layout[4] != 24 && Layout[4] != 32) {
    return TTgaResult::BadDepth;
  }
  Texture.BitsPerPixel = Layout[4];
  const std::uint64_t PixelSize = Texture.BitsPerPixel / 8;
  // At most 65535 x 65535 x 4 bytes: needs 64 bits.
  const std::uint64_t ImageSize = std::uint64_t{Texture.Width} * Texture.Height * PixelSize;

  // A file shorter than its header claims is turned down before anything is allocated.
  if (ImageSize > Source.Left()) {
    DropPixels(Texture);
    return TTgaResult::ShortData;
  }
  if (ImageSize > std::numeric_limits<std::size_t>::max()) {
    DropPixels(Texture);
    return TTgaResult::NoMemory;
  }
  std::vector<std::uint8_t> Pixels;
  bool Complete;
  try {
    Complete = ReadPixelData(Source, Pixels, static_cast<std::size_t>(ImageSize));
  } catch (const std::bad_alloc&) {
    DropPixels(Texture);
    return TTgaResult::NoMemory;
  } catch (const std::length_error&) {
    DropPixels(Texture);
    return TTgaResult::NoMemory;
  }
  if (!Complete) {
    DropPixels(Texture);
    return TTgaResult::ShortData;
  }
  // Blue-green-red(-alpha) in the file, red-green-blue(-alpha) in the record; rows stay in file
  // order.
  for (std::size_t i = 0; i < Pixels.size(); i += PixelSize) {
    std::swap(Pixels[i], Pixels[i + 2]);
  }
  Texture.Pixels = std::move(Pixels);
  return TTgaResult::Ok;
}

// Why the reader turned a picture down, for the player: what it found, in the file's own terms.
std::string RefusalText(TTgaResult Result, const TTexture& Texture) {
  const std::string Size = std::to_string(Texture.Width) + " x " + std::to_string(Texture.Height);
  switch (Result) {
  case TTgaResult::BadHeader:
    return "not an uncompressed true-colour TGA picture";
  case TTgaResult::ShortLayout:
    return "the file ends inside its header";
  case TTgaResult::BadSize:
    return "a picture of " + Size + " pixels";
  case TTgaResult::BadDepth:
    return "neither 24 nor 32 bits per pixel";
  case TTgaResult::ShortData:
    return "the file is shorter than its " + Size + " picture";
  default: // NoMemory
    return "too large to hold in memory";
  }
}

} // namespace

TTgaResult ReadTgaData(TTexture& Texture, const std::uint8_t* Data, std::size_t Size) {
  TMemorySource Source(Data, Data != nullptr ? Size : 0);
  return ReadTga(Texture, Source);
}

TTgaResult ReadTgaFile(TTexture& Texture, const std::string& FileName, std::string* ReasonText) {
  namespace fs = std::filesystem;
  const auto Fail = [ReasonText](TTgaResult Result, const std::string& Reason) {
    if (ReasonText != nullptr) {
      *ReasonText = Reason;
    }
    return Result;
  };

  std::error_code Error;
  const fs::file_status Status = fs::status(FileName, Error);
  const bool Missing = Status.type() == fs::file_type::not_found || fs::is_directory(Status);
  std::string Reason;
  std::FILE* File = OpenRegularFile(FileName, Reason);
  if (File == nullptr) {
    return Fail(Missing ? TTgaResult::Missing : TTgaResult::IoError, Reason);
  }
  std::uint64_t Length = UnknownLength;
  const std::uintmax_t Size = fs::file_size(FileName, Error);
  if (!Error) {
    Length = Size;
  }
  TFileSource Source(File, Length);
  const TTgaResult Result = ReadTga(Texture, Source);
  const int ReadError = Source.Error();
  errno = 0;
  const bool Closed = std::fclose(File) == 0;
  if (ReadError != 0) {
    return Fail(TTgaResult::IoError, std::strerror(ReadError));
  }
  if (!Closed) {
    return Fail(TTgaResult::IoError, std::strerror(errno != 0 ? errno : EIO));
  }
  return Result == TTgaResult::Ok ? Result : Fail(Result, RefusalText(Result, Texture));
}

bool LoadTextureFile(TTexture& Texture, const std::string& FileName) {
  std::string Reason;
  switch (ReadTgaFile(Texture, FileName, &Reason)) {
  case TTgaResult::Ok:
    break;
  case TTgaResult::IoError:
    FatalError("cannot read picture \"" + FileName + "\": " + Reason);
  default:
    // Its quads are drawn plain and the game goes on; the line tells a broken installation from a
    // broken game.
    ReportWarning(FileName + ": " + Reason + "; drawn without it");
    return false;
  }

  GLuint Name = 0;
  glGenTextures(1, &Name);
  Texture.TextureName = Name;
  glBindTexture(GL_TEXTURE_2D, Name);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
  // The buffer holds rows without padding; with OpenGL's default 4-byte row alignment a 24-bit
  // picture whose width is not a multiple of 4 would be read skewed and past the buffer's end.
  GLint Alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &Alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const GLenum Format = Texture.BitsPerPixel == 32 ? GL_RGBA : GL_RGB;
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(Format), static_cast<GLsizei>(Texture.Width),
               static_cast<GLsizei>(Texture.Height), 0, Format, GL_UNSIGNED_BYTE,
               Texture.Pixels.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, Alignment);
  return true;
}
