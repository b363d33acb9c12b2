// The picture reader: which files it takes, what it leaves in the record when it turns one down.
#include "MyUnit.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// AddressSanitizer reserves far more address space than the cap used below.
#if defined(__SANITIZE_ADDRESS__)
#define KELTO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELTO_UNDER_ASAN 1
#endif
#endif

namespace {

namespace fs = std::filesystem;
using TBytes = std::vector<std::uint8_t>;

// An 18-byte header of the accepted kind followed by Data.
TBytes Tga(std::uint16_t Width, std::uint16_t Height, std::uint8_t Depth, const TBytes& Data,
           std::uint8_t Descriptor = 0) {
  TBytes File = {0,
                 0,
                 2,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0,
                 0,
                 static_cast<std::uint8_t>(Width & 0xFF),
                 static_cast<std::uint8_t>(Width >> 8),
                 static_cast<std::uint8_t>(Height & 0xFF),
                 static_cast<std::uint8_t>(Height >> 8),
                 Depth,
                 Descriptor};
  File.insert(File.end(), Data.begin(), Data.end());
  return File;
}

// A record that a load has visibly not touched when it still holds these values.
TTexture Sentinel() {
  TTexture Texture;
  Texture.Pixels = {1, 2, 3};
  Texture.BitsPerPixel = 7;
  Texture.Width = 5;
  Texture.Height = 6;
  Texture.TextureName = 9;
  return Texture;
}

void ExpectUntouched(const TTexture& Texture) {
  EXPECT_EQ(Texture.Pixels, (TBytes{1, 2, 3}));
  EXPECT_EQ(Texture.BitsPerPixel, 7u);
  EXPECT_EQ(Texture.Width, 5u);
  EXPECT_EQ(Texture.Height, 6u);
  EXPECT_EQ(Texture.TextureName, 9u);
}

#ifndef KELTO_UNDER_ASAN
// Reads Path with the address space capped at 1 GiB and exits 0 when the reader said ShortData.
[[noreturn]] void ReadUnderMemoryCap(const std::string& Path) {
  rlimit Limit{};
  Limit.rlim_cur = Limit.rlim_max = std::size_t{1} << 30;
  setrlimit(RLIMIT_AS, &Limit);
  TTexture Capped;
  const bool Ok = ReadTgaFile(Capped, Path) == TTgaResult::ShortData;
  std::_Exit(Ok ? 0 : 3);
}
#endif

class TgaFileTest : public testing::Test {
protected:
  void SetUp() override {
    std::string Pattern = (fs::temp_directory_path() / "kelto-tga-XXXXXX").string();
    ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
    Folder = Pattern;
  }
  void TearDown() override { fs::remove_all(Folder); }

  std::string Write(const std::string& Name, const TBytes& Bytes) {
    const fs::path Path = Folder / Name;
    std::ofstream(Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()),
               static_cast<std::streamsize>(Bytes.size()));
    return Path.string();
  }

  TTgaResult Read(TTexture& Texture, const TBytes& Bytes) {
    return ReadTgaFile(Texture, Write("picture.tga", Bytes));
  }

  fs::path Folder;
};

TEST_F(TgaFileTest, ThirtyTwoBitPixelsTurnFromBgraToRgba) {
  TTexture Texture;
  ASSERT_EQ(Read(Texture, Tga(2, 1, 32, {10, 20, 30, 40, 1, 2, 3, 255})), TTgaResult::Ok);
  EXPECT_EQ(Texture.Width, 2u);
  EXPECT_EQ(Texture.Height, 1u);
  EXPECT_EQ(Texture.BitsPerPixel, 32u);
  EXPECT_EQ(Texture.Pixels, (TBytes{30, 20, 10, 40, 3, 2, 1, 255}));
  EXPECT_EQ(Texture.TextureName, 0u) << "reading alone makes no texture";
}

TEST_F(TgaFileTest, TwentyFourBitRowsStayInFileOrderWhateverTheDescriptor) {
  // Width 3: rows of 9 bytes, not a multiple of 4.
  const TBytes Data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  const TBytes Expected = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16};
  for (const std::uint8_t Descriptor : {0x00, 0x20, 0x08, 0xFF}) {
    TTexture Texture;
    ASSERT_EQ(Read(Texture, Tga(3, 2, 24, Data, Descriptor)), TTgaResult::Ok);
    EXPECT_EQ(Texture.BitsPerPixel, 24u);
    EXPECT_EQ(Texture.Width, 3u);
    EXPECT_EQ(Texture.Height, 2u);
    EXPECT_EQ(Texture.Pixels, Expected) << "descriptor " << int{Descriptor};
  }
}

TEST_F(TgaFileTest, BytesAfterThePixelDataAreIgnored) {
  TBytes File = Tga(1, 1, 24, {10, 20, 30});
  const char Footer[] = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.";
  File.insert(File.end(), Footer, Footer + sizeof Footer);
  TTexture Texture;
  ASSERT_EQ(Read(Texture, File), TTgaResult::Ok);
  EXPECT_EQ(Texture.Pixels, (TBytes{30, 20, 10}));
}

TEST_F(TgaFileTest, ShortPixelDataKeepsNoBuffer) {
  TTexture Texture = Sentinel();
  // A 2 x 2 24-bit picture needs 12 bytes of pixels.
  EXPECT_EQ(Read(Texture, Tga(2, 2, 24, TBytes(11, 0x55))), TTgaResult::ShortData);
  EXPECT_TRUE(Texture.Pixels.empty());
  EXPECT_EQ(Texture.Pixels.capacity(), 0u) << "the old buffer is released too";
  EXPECT_EQ(Texture.Width, 2u);
  EXPECT_EQ(Texture.Height, 2u);
  EXPECT_EQ(Texture.BitsPerPixel, 24u);
  EXPECT_EQ(Texture.TextureName, 9u);

  TTexture Exact;
  EXPECT_EQ(Read(Exact, Tga(2, 2, 24, TBytes(12, 0x55))), TTgaResult::Ok);
  EXPECT_EQ(Exact.Pixels.size(), 12u);
}

TEST_F(TgaFileTest, HeadersOtherThanTheReferenceAreRejectedUntouched) {
  struct TCase {
    const char* What;
    std::size_t Offset;
    std::uint8_t Value;
  };
  const TCase Cases[] = {
      {"run-length encoded (type 10)", 2, 10},
      {"colour-mapped (type 1)", 2, 1},
      {"colour map present", 1, 1},
      {"colour-map length", 5, 16},
      {"image ID field", 0, 4},
      {"x origin", 8, 1},
      {"y origin", 11, 1},
  };
  for (const TCase& Case : Cases) {
    TBytes File = Tga(1, 1, 24, {1, 2, 3, 4, 5, 6, 7, 8});
    File[Case.Offset] = Case.Value;
    TTexture Texture = Sentinel();
    EXPECT_EQ(Read(Texture, File), TTgaResult::BadHeader) << Case.What;
    ExpectUntouched(Texture);
  }
  const TBytes Header = Tga(1, 1, 24, {});
  for (const std::size_t Length : {0u, 1u, 11u}) {
    TTexture Texture = Sentinel();
    EXPECT_EQ(Read(Texture, TBytes(Header.begin(), Header.begin() + Length)), TTgaResult::BadHeader)
        << Length << " header bytes";
    ExpectUntouched(Texture);
  }
}

TEST_F(TgaFileTest, ShortImageSpecificationLeavesTheRecordUntouched) {
  const TBytes Full = Tga(2, 2, 24, {});
  TTexture Texture = Sentinel();
  EXPECT_EQ(Read(Texture, TBytes(Full.begin(), Full.begin() + 17)), TTgaResult::ShortSpec);
  ExpectUntouched(Texture);
}

TEST_F(TgaFileTest, OtherDepthsAreRejectedAfterTheSizeIsStored) {
  for (const std::uint8_t Depth : {8, 15, 16, 0, 33}) {
    TTexture Texture = Sentinel();
    EXPECT_EQ(Read(Texture, Tga(300, 2, Depth, TBytes(2400, 0))), TTgaResult::BadDepth)
        << int{Depth} << " bits";
    EXPECT_EQ(Texture.Width, 300u);
    EXPECT_EQ(Texture.Height, 2u);
    EXPECT_EQ(Texture.BitsPerPixel, 7u);
    EXPECT_EQ(Texture.Pixels, (TBytes{1, 2, 3}));
  }
}

TEST_F(TgaFileTest, ZeroWidthOrHeightIsRejectedAfterTheSizeIsStored) {
  TTexture Texture = Sentinel();
  EXPECT_EQ(Read(Texture, Tga(0, 4, 32, TBytes(16, 0))), TTgaResult::BadSize);
  EXPECT_EQ(Texture.Width, 0u);
  EXPECT_EQ(Texture.Height, 4u);
  EXPECT_EQ(Texture.BitsPerPixel, 7u);

  Texture = Sentinel();
  // Checked before the depth: a zero height with a bad depth is still a size failure.
  EXPECT_EQ(Read(Texture, Tga(513, 0, 16, {})), TTgaResult::BadSize);
  EXPECT_EQ(Texture.Width, 513u);
  EXPECT_EQ(Texture.Height, 0u);
  EXPECT_EQ(Texture.Pixels, (TBytes{1, 2, 3}));
}

TEST_F(TgaFileTest, HugeClaimInASmallFileFailsWithoutAllocating) {
  const TBytes File = Tga(65535, 65535, 32, TBytes(82, 0xAB));
  ASSERT_EQ(File.size(), 100u);
  const std::string Path = Write("huge.tga", File);
  const auto Start = std::chrono::steady_clock::now();
  TTexture Texture = Sentinel();
  EXPECT_EQ(ReadTgaFile(Texture, Path), TTgaResult::ShortData);
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(1));
  EXPECT_TRUE(Texture.Pixels.empty());
  EXPECT_EQ(Texture.Width, 65535u);
  EXPECT_EQ(Texture.Height, 65535u);
  EXPECT_EQ(Texture.BitsPerPixel, 32u);

  TTexture FromMemory;
  EXPECT_EQ(ReadTgaData(FromMemory, File.data(), File.size()), TTgaResult::ShortData);
  EXPECT_TRUE(FromMemory.Pixels.empty());

#ifndef KELTO_UNDER_ASAN
  // With the address space capped far below the 17 GB claimed, a reader that allocated first
  // would fail with NoMemory (or die) instead of ShortData.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ReadUnderMemoryCap(Path), testing::ExitedWithCode(0), "");
#endif
}

TEST_F(TgaFileTest, MissingFileOrFolderIsSkippedUntouched) {
  TTexture Texture = Sentinel();
  EXPECT_EQ(ReadTgaFile(Texture, (Folder / "nothing.tga").string()), TTgaResult::Missing);
  ExpectUntouched(Texture);
  EXPECT_EQ(ReadTgaFile(Texture, (Folder / "no-folder" / "x.tga").string()), TTgaResult::Missing);
  ExpectUntouched(Texture);
  fs::create_directory(Folder / "folder.tga");
  EXPECT_EQ(ReadTgaFile(Texture, (Folder / "folder.tga").string()), TTgaResult::Missing);
  ExpectUntouched(Texture);
  // A file where a folder was expected.
  Write("plain", {1});
  EXPECT_EQ(ReadTgaFile(Texture, (Folder / "plain" / "x.tga").string()), TTgaResult::Missing);
  ExpectUntouched(Texture);

  // The loader gives up before it needs OpenGL.
  EXPECT_FALSE(LoadTextureFile(Texture, (Folder / "nothing.tga").string()));
  EXPECT_FALSE(LoadTextureFile(Texture, (Folder / "folder.tga").string()));
  ExpectUntouched(Texture);
  EXPECT_FALSE(LoadTextureFile(Texture, Write("bad.tga", Tga(2, 2, 16, TBytes(8, 0)))));
  EXPECT_EQ(Texture.TextureName, 9u);
}

// Reading /proc/self/mem from its start fails with an input/output error (address 0 is never
// mapped), which no ownership or permission trick is needed for.
TEST(TgaReadError, ReadFailureOnAnExistingFileIsReported) {
  if (!fs::exists("/proc/self/mem")) {
    GTEST_SKIP() << "no /proc";
  }
  TTexture Texture = Sentinel();
  std::string Reason;
  EXPECT_EQ(ReadTgaFile(Texture, "/proc/self/mem", &Reason), TTgaResult::IoError);
  EXPECT_FALSE(Reason.empty());
}

TEST(TgaReadErrorDeathTest, LoaderEndsTheProgramNamingTheFile) {
  if (!fs::exists("/proc/self/mem")) {
    GTEST_SKIP() << "no /proc";
  }
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TTexture Texture;
  EXPECT_EXIT(LoadTextureFile(Texture, "/proc/self/mem"), testing::ExitedWithCode(1),
              "/proc/self/mem.*[Ii]nput/output error");
}

TEST(TgaMemory, SameRulesAsTheFileReader) {
  TTexture Texture = Sentinel();
  EXPECT_EQ(ReadTgaData(Texture, nullptr, 0), TTgaResult::BadHeader);
  ExpectUntouched(Texture);
  const TBytes Good = Tga(1, 2, 32, {10, 20, 30, 40, 50, 60, 70, 80});
  ASSERT_EQ(ReadTgaData(Texture, Good.data(), Good.size()), TTgaResult::Ok);
  EXPECT_EQ(Texture.Pixels, (TBytes{30, 20, 10, 40, 70, 60, 50, 80}));
  EXPECT_EQ(ReadTgaData(Texture, Good.data(), Good.size() - 1), TTgaResult::ShortData);
  EXPECT_TRUE(Texture.Pixels.empty());
}

// Pictures written by another program.
class TgaFromImageMagick : public TgaFileTest {
protected:
  void SetUp() override {
    TgaFileTest::SetUp();
    if (std::system("command -v convert >/dev/null 2>&1") != 0) {
      GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
  }
  // A 3 x 2 picture: top row c1 c2 c3, bottom row c4 c5 c6.
  std::string Convert(const std::string& Type, const std::string& Name) {
    const std::string Path = (Folder / Name).string();
    const std::string Command =
        "convert \\( -size 1x1 xc:'rgba(10,20,30,1)' xc:'rgba(40,50,60,0.2)' "
        "xc:'rgba(70,80,90,1)' +append \\) "
        "\\( -size 1x1 xc:'rgba(100,110,120,1)' xc:'rgba(130,140,150,1)' "
        "xc:'rgba(160,170,180,0)' +append \\) -append -type " +
        Type + " -compress none '" + Path + "'";
    EXPECT_EQ(std::system(Command.c_str()), 0) << Command;
    return Path;
  }
};

// The picture's rows as the reader must give them: in the order the file stores them. Which of
// the two rows ImageMagick stores first depends on its version, whatever the descriptor says, so
// the first stored pixel (blue, green, red at offset 18) tells.
TBytes InFileOrder(const std::string& Path, const TBytes& Top, const TBytes& Bottom) {
  std::ifstream File(Path, std::ios::binary);
  File.seekg(18);
  std::uint8_t First[3] = {};
  File.read(reinterpret_cast<char*>(First), 3);
  const bool TopFirst = First[0] == Top[2] && First[1] == Top[1] && First[2] == Top[0];
  TBytes Rows = TopFirst ? Top : Bottom;
  const TBytes& Second = TopFirst ? Bottom : Top;
  Rows.insert(Rows.end(), Second.begin(), Second.end());
  return Rows;
}

TEST_F(TgaFromImageMagick, ThirtyTwoBitPictureLoadsWithItsPixels) {
  TTexture Texture;
  const std::string Path = Convert("TrueColorAlpha", "rgba.tga");
  ASSERT_EQ(ReadTgaFile(Texture, Path), TTgaResult::Ok);
  EXPECT_EQ(Texture.BitsPerPixel, 32u);
  EXPECT_EQ(Texture.Width, 3u);
  EXPECT_EQ(Texture.Height, 2u);
  EXPECT_EQ(Texture.Pixels,
            InFileOrder(Path, {10, 20, 30, 255, 40, 50, 60, 51, 70, 80, 90, 255},
                        {100, 110, 120, 255, 130, 140, 150, 255, 160, 170, 180, 0}));
}

TEST_F(TgaFromImageMagick, TwentyFourBitPictureLoadsWithItsPixels) {
  TTexture Texture;
  const std::string Path = Convert("TrueColor", "rgb.tga");
  ASSERT_EQ(ReadTgaFile(Texture, Path), TTgaResult::Ok);
  EXPECT_EQ(Texture.BitsPerPixel, 24u);
  EXPECT_EQ(Texture.Pixels, InFileOrder(Path, {10, 20, 30, 40, 50, 60, 70, 80, 90},
                                        {100, 110, 120, 130, 140, 150, 160, 170, 180}));
}

} // namespace
