// Files in the browser: the page's data (pictures, glyphs, sounds) is in the in-memory file system
// from the start, the score file lives in the browser's IndexedDB (copied in before the game
// starts, replaced there by each save), and reports show in a dialog over the canvas.
#include "FontUnit.h"
#include "MyUnit.h"
#include "WebLayer.h"
#include "platform/PlatformLayer.h"

#include <emscripten/emscripten.h>

#include <fstream>
#include <iterator>
#include <sstream>

extern "C" {
int kelto_store_put(const char* Name, const char* Data, std::size_t Size, char* Reason,
                    std::size_t ReasonSize);
void kelto_show_error(const char* Text);
void kelto_offer_download(const char* Name, const char* Data, std::size_t Size);
}

namespace {

// Rendered at build time from the desktop's face and size (kelto-glyphs).
const std::string GlyphFileName = "glyphs.dat";

bool ReadWholeFile(const std::string& FileName, std::string& Contents, std::string& Reason) {
  std::FILE* File = OpenRegularFile(FileName, Reason);
  if (File == nullptr) {
    return false;
  }
  char Buffer[1 << 14];
  std::size_t Got = 0;
  while ((Got = std::fread(Buffer, 1, sizeof Buffer, File)) > 0) {
    Contents.append(Buffer, Got);
  }
  const bool Read = std::ferror(File) == 0;
  std::fclose(File);
  if (!Read) {
    Reason = "read error";
  }
  return Read;
}

} // namespace

// A report that reaches the page after the call that caused it (a save the browser refused).
extern "C" EMSCRIPTEN_KEEPALIVE void KeltoReportError(const char* Text) {
  ReportError(Text);
}

void TPlatformLayer::MakeGlyphLists(std::uint32_t Base, std::int32_t Count) {
  std::string Bytes;
  std::string Reason;
  TGlyphSet Glyphs;
  if (!ReadWholeFile(GlyphFileName, Bytes, Reason) || !ReadGlyphSet(Bytes, Glyphs, Reason)) {
    std::fprintf(stderr, "kelto: %s: %s; text will not be drawn\n", GlyphFileName.c_str(),
                 Reason.c_str());
    return;
  }
  RecordGlyphLists(Base, Count, Glyphs);
}

bool TPlatformLayer::ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                                         std::string& ErrorText) {
  char Reason[256] = {};
  if (kelto_store_put(FileName.c_str(), Contents.data(), Contents.size(), Reason, sizeof Reason) ==
      0) {
    ErrorText = FileName + ": " + Reason;
    return false;
  }
  return true;
}

bool TPlatformLayer::EnterInstalledRunFolder(bool& Moved, std::string&) {
  Moved = false;
  return true;
}

void TPlatformLayer::ShowErrorBox(const std::string& Text) {
  kelto_show_error(Text.c_str());
}

void OfferDownload(const std::string& FileName) {
  std::string Contents;
  std::string Reason;
  if (ReadWholeFile(FileName, Contents, Reason)) {
    kelto_offer_download(FileName.c_str(), Contents.data(), Contents.size());
  }
}
