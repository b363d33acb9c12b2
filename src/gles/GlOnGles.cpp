// OpenGL 1.1 on OpenGL ES 3.0. Vertices between glBegin and glEnd, and the bitmaps of the text,
// collect in one batch that is drawn with one shader program whenever something it depends on is
// about to change (a matrix, a switch, the bound texture, the viewport) and before anything reads
// or shows the frame. The matrices are kept and multiplied in 32-bit floats in the same order as
// the desktop's OpenGL does it, so that both place every vertex on the same pixel.
#define KELTO_GLES_LAYER
#include "GlOnGles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <map>
#include <numbers>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using TMatrix = std::array<GLfloat, 16>; // column by column, as 1.1 hands them out

constexpr TMatrix Identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A * B, every element summed left to right.
TMatrix Multiply(const TMatrix& A, const TMatrix& B) {
  TMatrix P;
  for (int Row = 0; Row < 4; ++Row) {
    for (int Col = 0; Col < 4; ++Col) {
      P[Col * 4 + Row] = A[Row] * B[Col * 4] + A[4 + Row] * B[Col * 4 + 1] +
                         A[8 + Row] * B[Col * 4 + 2] + A[12 + Row] * B[Col * 4 + 3];
    }
  }
  return P;
}

struct TVertex {
  GLfloat Position[3];
  GLfloat TexCoord[2];
  GLfloat Colour[4];
  // The texel of the glyph atlas under a bitmap's corner; unused by other primitives.
  GLfloat Glyph[2];
};

struct TPixelStore {
  GLint Alignment = 4;
  GLint RowLength = 0;
  GLint SkipRows = 0;
  GLint SkipPixels = 0;
  bool LsbFirst = false;
  bool SwapBytes = false;
};

// One glBitmap as a display list keeps it: its pixels live in the glyph atlas at (AtlasX, AtlasY),
// bottom row first.
struct TBitmap {
  GLsizei Width = 0;
  GLsizei Height = 0;
  GLfloat OriginX = 0;
  GLfloat OriginY = 0;
  GLfloat MoveX = 0;
  GLfloat MoveY = 0;
  int AtlasX = 0;
  int AtlasY = 0;
};

// The pixels of every compiled bitmap, one byte each (0 or 255), packed in shelves into one
// single-channel texture that grows downwards as lists are compiled.
struct TAtlas {
  static constexpr int Width = 2048;
  std::vector<std::uint8_t> Texels; // Width x Rows
  int Rows = 0;
  int ShelfX = 0;
  int ShelfY = 0;
  int ShelfHeight = 0;
  bool Changed = false;
  GLuint Texture = 0;
};

struct TTexture {
  bool HasImage = false;
  GLenum MinFilter = GL_NEAREST_MIPMAP_LINEAR;
};

// The alpha test's comparisons in the shader, by the function's number counted from GL_NEVER;
// none for GL_ALWAYS.
constexpr const char* AlphaComparisons[] = {"false",
                                            "Alpha < AlphaRef",
                                            "Alpha == AlphaRef",
                                            "Alpha <= AlphaRef",
                                            "Alpha > AlphaRef",
                                            "Alpha != AlphaRef",
                                            "Alpha >= AlphaRef"};
constexpr int AlphaComparisonCount = std::size(AlphaComparisons);

// One program for each combination of what fragments go through: texturing or not, a bitmap's
// mask or not, and the alpha test's comparison or none. Each is compiled when first needed, free
// of branches, and remembers what it was last sent.
struct TProgram {
  GLuint Name = 0;
  GLint MvpLocation = -1;
  GLint AlphaRefLocation = -1;
  bool Sent = false;
  TMatrix Mvp{};
  GLfloat AlphaRef = 0;
};
constexpr int ProgramCount = 2 * 2 * (AlphaComparisonCount + 1);

} // namespace

struct TGlesContext {
  std::array<TProgram, ProgramCount> Programs;
  int ProgramInUse = -1;
  GLuint VertexArray = 0;
  GLuint Buffer = 0;
  // Bitmaps are placed in window pixels through a square viewport of a power of two at the
  // window's corner: whole pixels map to exact device coordinates, and like 1.1's bitmaps they are
  // not clipped to the game's viewport.
  GLint BitmapViewport = 4096;
  GLint EsViewport[4] = {0, 0, 0, 0};

  std::vector<TMatrix> Stacks[2] = {{Identity}, {Identity}}; // model-view, projection
  GLenum MatrixMode = GL_MODELVIEW;

  GLfloat Colour[4] = {1, 1, 1, 1};
  GLfloat TexCoord[2] = {0, 0};
  bool InPrimitive = false;
  GLenum Primitive = 0;
  std::vector<TVertex> Primitives;
  std::vector<TVertex> Batch;
  bool BatchIsBitmap = false;

  bool Texture2D = false, AlphaTest = false, Blend = false, CullFace = false, DepthTest = false;
  GLenum AlphaFunc = GL_ALWAYS;
  GLfloat AlphaRef = 0;
  GLint Viewport[4] = {0, 0, 0, 0};

  GLuint BoundTexture = 0;
  std::unordered_map<GLuint, TTexture> Textures;
  TPixelStore Unpack;
  std::vector<TPixelStore> ClientAttribs;

  std::map<GLuint, std::vector<TBitmap>> Lists;
  GLuint NextList = 1;
  GLuint CompilingList = 0;
  std::vector<TBitmap> Compiling;
  GLuint ListBase = 0;
  std::vector<std::pair<GLbitfield, GLuint>> Attribs;
  TAtlas Atlas;

  bool RasterValid = true;
  GLfloat Raster[3] = {0, 0, 0}; // window x and y, device z
  GLfloat RasterColour[4] = {1, 1, 1, 1};
  GLfloat RasterTexCoord[2] = {0, 0};

  GLenum Error = GL_NO_ERROR;
};

namespace {

TGlesContext* Current;

constexpr GLuint PositionAttribute = 0, TexCoordAttribute = 1, ColourAttribute = 2,
                 GlyphAttribute = 3;

// The vertex stage and the texture lookup are written as the desktop's OpenGL runs its fixed
// functions: the position as a sum of the matrix's columns, and the texture coordinate divided by
// its q (1, filled in by the vertex fetch) at each fragment. Both round alike then.
const char* const VertexShader = R"(
uniform highp mat4 Mvp;
in highp vec4 Position;
in highp vec4 TexCoordIn;
in highp vec4 ColourIn;
in highp vec2 GlyphIn;
out highp vec4 TexCoord;
out highp vec4 Colour;
out highp vec2 Glyph;
void main() {
  gl_Position = Mvp * Position;
  TexCoord = TexCoordIn;
  Colour = ColourIn;
  Glyph = GlyphIn;
})";

// Texturing modulates the colour. A bitmap's fragments are those of its set pixels. The alpha test
// compares in the 8 bits of the colour buffer, as 1.1 defines it (a float comparison would keep
// fragments whose alpha rounds to the reference). The header before it defines TEXTURING, BITMAP
// and, with the test on, ALPHA_PASSES.
const char* const FragmentShader = R"(
precision highp float;
precision highp sampler2D;
uniform sampler2D Picture;
uniform sampler2D Glyphs;
uniform float AlphaRef;
in vec4 TexCoord;
in vec4 Colour;
in vec2 Glyph;
out vec4 FragColour;
void main() {
#if TEXTURING
  vec4 Result = Colour * textureProj(Picture, TexCoord);
#else
  vec4 Result = Colour;
#endif
#if BITMAP
  if (texelFetch(Glyphs, ivec2(Glyph), 0).r < 0.5) {
    discard;
  }
#endif
#ifdef ALPHA_PASSES
  float Alpha = floor(clamp(Result.a, 0.0, 1.0) * 255.0 + 0.5);
  if (!(ALPHA_PASSES)) {
    discard;
  }
#endif
  FragColour = Result;
})";

void SetError(TGlesContext& C, GLenum Error) {
  if (C.Error == GL_NO_ERROR) {
    C.Error = Error;
  }
}

// Whether a shader compiled or a program linked (Status); if not, ES's log says why.
template <typename TGetStatus, typename TGetLog>
bool Succeeded(GLuint Object, GLenum Status, TGetStatus GetStatus, TGetLog GetLog,
               const char* Failure) {
  GLint Result = GL_FALSE;
  GetStatus(Object, Status, &Result);
  if (Result != GL_TRUE) {
    char Log[1024] = "";
    GetLog(Object, sizeof(Log), nullptr, Log);
    std::fprintf(stderr, "kelto: the OpenGL ES shaders %s: %s\n", Failure, Log);
  }
  return Result == GL_TRUE;
}

GLuint CompileShader(GLenum Kind, const std::string& Header, const char* Source) {
  const GLuint Shader = glCreateShader(Kind);
  const char* Parts[] = {Header.c_str(), Source};
  glShaderSource(Shader, 2, Parts, nullptr);
  glCompileShader(Shader);
  if (!Succeeded(Shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, "do not compile")) {
    glDeleteShader(Shader);
    return 0;
  }
  return Shader;
}

// The program of variant Key: bit 0 texturing, bit 1 a bitmap, Key / 4 the alpha comparison's
// number + 1 (0 for none).
GLuint LinkProgram(int Key) {
  std::string Header = "#version 300 es\n";
  const GLuint Vertex = CompileShader(GL_VERTEX_SHADER, Header, VertexShader);
  Header += "#define TEXTURING " + std::to_string(Key & 1) + "\n#define BITMAP " +
            std::to_string(Key >> 1 & 1) + "\n";
  if (Key / 4 > 0) {
    Header += std::string("#define ALPHA_PASSES ") + AlphaComparisons[Key / 4 - 1] + "\n";
  }
  const GLuint Fragment = CompileShader(GL_FRAGMENT_SHADER, Header, FragmentShader);
  if (Vertex == 0 || Fragment == 0) {
    glDeleteShader(Vertex);
    glDeleteShader(Fragment);
    return 0;
  }
  const GLuint Program = glCreateProgram();
  glAttachShader(Program, Vertex);
  glAttachShader(Program, Fragment);
  glBindAttribLocation(Program, PositionAttribute, "Position");
  glBindAttribLocation(Program, TexCoordAttribute, "TexCoordIn");
  glBindAttribLocation(Program, ColourAttribute, "ColourIn");
  glBindAttribLocation(Program, GlyphAttribute, "GlyphIn");
  glLinkProgram(Program);
  glDeleteShader(Vertex);
  glDeleteShader(Fragment);
  if (!Succeeded(Program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, "do not link")) {
    glDeleteProgram(Program);
    return 0;
  }
  glUseProgram(Program);
  glUniform1i(glGetUniformLocation(Program, "Picture"), 0);
  glUniform1i(glGetUniformLocation(Program, "Glyphs"), 1);
  return Program;
}

// Makes the program of variant Key the one in use; false when it cannot be built.
bool UseProgram(TGlesContext& C, int Key) {
  TProgram& Program = C.Programs[static_cast<std::size_t>(Key)];
  if (Program.Name == 0) {
    Program.Name = LinkProgram(Key);
    if (Program.Name == 0) {
      return false;
    }
    Program.MvpLocation = glGetUniformLocation(Program.Name, "Mvp");
    Program.AlphaRefLocation = glGetUniformLocation(Program.Name, "AlphaRef");
    C.ProgramInUse = Key;
  }
  if (C.ProgramInUse != Key) {
    glUseProgram(Program.Name);
    C.ProgramInUse = Key;
  }
  return true;
}

TMatrix& Top(TGlesContext& C) {
  return C.Stacks[C.MatrixMode == GL_PROJECTION].back();
}

TMatrix ModelViewProjection(const TGlesContext& C) {
  return Multiply(C.Stacks[1].back(), C.Stacks[0].back());
}

bool Texturing(const TGlesContext& C) {
  if (!C.Texture2D) {
    return false;
  }
  // An incomplete texture turns texturing off, as in 1.1; ES would sample it as black instead.
  const auto Found = C.Textures.find(C.BoundTexture);
  return Found != C.Textures.end() && Found->second.HasImage &&
         (Found->second.MinFilter == GL_NEAREST || Found->second.MinFilter == GL_LINEAR);
}

// The pixel store as the application set it, for ES's own uploads.
void SendUnpack(const TPixelStore& Store) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, Store.Alignment);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, Store.RowLength);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, Store.SkipRows);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, Store.SkipPixels);
}

void UploadAtlas(TGlesContext& C) {
  TAtlas& Atlas = C.Atlas;
  if (!Atlas.Changed) {
    return;
  }
  Atlas.Changed = false;
  glActiveTexture(GL_TEXTURE1);
  if (Atlas.Texture == 0) {
    glGenTextures(1, &Atlas.Texture);
  }
  glBindTexture(GL_TEXTURE_2D, Atlas.Texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  SendUnpack(TPixelStore{1});
  glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, TAtlas::Width, std::max(Atlas.Rows, 1), 0, GL_RED,
               GL_UNSIGNED_BYTE, Atlas.Texels.empty() ? nullptr : Atlas.Texels.data());
  SendUnpack(C.Unpack);
  glActiveTexture(GL_TEXTURE0);
}

void SetViewport(TGlesContext& C, const GLint* Viewport) {
  if (!std::equal(Viewport, Viewport + 4, C.EsViewport)) {
    std::copy(Viewport, Viewport + 4, C.EsViewport);
    glViewport(Viewport[0], Viewport[1], Viewport[2], Viewport[3]);
  }
}

// Draws the batch with the state it was collected under: called before that state changes.
void Flush(TGlesContext& C) {
  if (C.Batch.empty()) {
    return;
  }
  const int Comparison =
      C.AlphaTest && C.AlphaFunc != GL_ALWAYS ? static_cast<int>(C.AlphaFunc - GL_NEVER) + 1 : 0;
  const int Key = (Texturing(C) ? 1 : 0) + (C.BatchIsBitmap ? 2 : 0) + 4 * Comparison;
  if (!UseProgram(C, Key)) {
    C.Batch.clear();
    return;
  }
  TProgram& Program = C.Programs[static_cast<std::size_t>(Key)];
  const TMatrix Mvp = C.BatchIsBitmap ? Identity : ModelViewProjection(C);
  const GLfloat AlphaRef = std::nearbyint(C.AlphaRef * 255);
  if (!Program.Sent || Mvp != Program.Mvp) {
    glUniformMatrix4fv(Program.MvpLocation, 1, GL_FALSE, Mvp.data());
    Program.Mvp = Mvp;
  }
  if (!Program.Sent || AlphaRef != Program.AlphaRef) {
    glUniform1f(Program.AlphaRefLocation, AlphaRef);
    Program.AlphaRef = AlphaRef;
  }
  Program.Sent = true;
  if (C.BatchIsBitmap) {
    UploadAtlas(C);
    const GLint Square[4] = {0, 0, C.BitmapViewport, C.BitmapViewport};
    SetViewport(C, Square);
  } else {
    SetViewport(C, C.Viewport);
  }
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(C.Batch.size() * sizeof(TVertex)),
               C.Batch.data(), GL_STREAM_DRAW);
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(C.Batch.size()));
  C.Batch.clear();
}

// The batch takes primitives of one kind at a time: geometry or bitmaps.
void StartBatchOf(TGlesContext& C, bool Bitmap) {
  if (C.BatchIsBitmap != Bitmap) {
    Flush(C);
    C.BatchIsBitmap = Bitmap;
  }
}

// Changing a matrix: what was collected under the old one is drawn first.
TMatrix& ChangeTop(TGlesContext& C) {
  Flush(C);
  return Top(C);
}

void SetSwitch(TGlesContext& C, GLenum Cap, bool On) {
  bool* Switch = nullptr;
  bool Es = true;
  switch (Cap) {
  case GL_TEXTURE_2D:
    Switch = &C.Texture2D;
    Es = false;
    break;
  case GL_ALPHA_TEST:
    Switch = &C.AlphaTest;
    Es = false;
    break;
  case GL_BLEND:
    Switch = &C.Blend;
    break;
  case GL_CULL_FACE:
    Switch = &C.CullFace;
    break;
  case GL_DEPTH_TEST:
    Switch = &C.DepthTest;
    break;
  default:
    SetError(C, GL_INVALID_ENUM);
    return;
  }
  if (*Switch == On) {
    return;
  }
  Flush(C);
  *Switch = On;
  if (Es) {
    On ? glEnable(Cap) : glDisable(Cap);
  }
}

// A place in the atlas for a Width x Height bitmap, or false when it cannot grow that far.
bool PlaceInAtlas(TAtlas& Atlas, int Width, int Height, int& x, int& y) {
  if (Width > TAtlas::Width) {
    return false;
  }
  if (Atlas.ShelfX + Width > TAtlas::Width) {
    Atlas.ShelfY += Atlas.ShelfHeight;
    Atlas.ShelfX = 0;
    Atlas.ShelfHeight = 0;
  }
  GLint MaxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &MaxSize);
  if (Atlas.ShelfY + Height > MaxSize) {
    return false;
  }
  if (Atlas.ShelfY + Height > Atlas.Rows) {
    Atlas.Rows = std::min(std::max({64, Atlas.Rows * 2, Atlas.ShelfY + Height}), MaxSize);
    Atlas.Texels.resize(static_cast<std::size_t>(TAtlas::Width) * Atlas.Rows);
  }
  x = Atlas.ShelfX;
  y = Atlas.ShelfY;
  Atlas.ShelfX += Width;
  Atlas.ShelfHeight = std::max(Atlas.ShelfHeight, Height);
  return true;
}

// Unpacks a 1.1 bitmap (rows bottom first, as the pixel store describes them) into the atlas.
TBitmap StoreBitmap(TGlesContext& C, TBitmap Bitmap, const GLubyte* Pixels) {
  if (Bitmap.Width <= 0 || Bitmap.Height <= 0 || Pixels == nullptr) {
    Bitmap.Width = Bitmap.Height = 0;
    return Bitmap;
  }
  if (!PlaceInAtlas(C.Atlas, Bitmap.Width, Bitmap.Height, Bitmap.AtlasX, Bitmap.AtlasY)) {
    SetError(C, GL_OUT_OF_MEMORY);
    Bitmap.Width = Bitmap.Height = 0;
    return Bitmap;
  }
  const TPixelStore& Store = C.Unpack;
  const int RowBits = Store.RowLength > 0 ? Store.RowLength : Bitmap.Width;
  const int Alignment = std::max(Store.Alignment, 1);
  const int RowBytes = ((RowBits + 7) / 8 + Alignment - 1) / Alignment * Alignment;
  for (int Row = 0; Row < Bitmap.Height; ++Row) {
    const GLubyte* Source = Pixels + static_cast<std::ptrdiff_t>(Store.SkipRows + Row) * RowBytes;
    std::uint8_t* Target =
        &C.Atlas.Texels[static_cast<std::size_t>(Bitmap.AtlasY + Row) * TAtlas::Width +
                        static_cast<std::size_t>(Bitmap.AtlasX)];
    for (int Column = 0; Column < Bitmap.Width; ++Column) {
      const int Bit = Store.SkipPixels + Column;
      const int Mask = Store.LsbFirst ? 1 << (Bit % 8) : 0x80 >> (Bit % 8);
      Target[Column] = (Source[Bit / 8] & Mask) != 0 ? 255 : 0;
    }
  }
  C.Atlas.Changed = true;
  return Bitmap;
}

void Emit(TGlesContext& C, GLfloat x, GLfloat y, GLfloat z, GLfloat GlyphX, GLfloat GlyphY) {
  C.Batch.push_back(
      TVertex{{x, y, z},
              {C.RasterTexCoord[0], C.RasterTexCoord[1]},
              {C.RasterColour[0], C.RasterColour[1], C.RasterColour[2], C.RasterColour[3]},
              {GlyphX, GlyphY}});
}

// The bitmap's set pixels become fragments of the raster colour and texture coordinate with their
// lower left corner at the raster position less the origin; then the position moves on.
void DrawBitmap(TGlesContext& C, const TBitmap& Bitmap) {
  if (!C.RasterValid) {
    return;
  }
  if (Bitmap.Width > 0) {
    StartBatchOf(C, true);
    // A raster position that should be a whole pixel may come out a hair below it; the desktop's
    // OpenGL nudges it by this much before rounding down, and so does the layer.
    constexpr GLfloat Nudge = 0.0001f;
    const GLfloat Left = std::floor(C.Raster[0] + Nudge - Bitmap.OriginX);
    const GLfloat Bottom = std::floor(C.Raster[1] + Nudge - Bitmap.OriginY);
    const GLfloat Scale = 2.0f / static_cast<GLfloat>(C.BitmapViewport);
    const GLfloat x0 = Left * Scale - 1, x1 = (Left + Bitmap.Width) * Scale - 1;
    const GLfloat y0 = Bottom * Scale - 1, y1 = (Bottom + Bitmap.Height) * Scale - 1;
    const GLfloat u0 = Bitmap.AtlasX, u1 = u0 + Bitmap.Width;
    const GLfloat v0 = Bitmap.AtlasY, v1 = v0 + Bitmap.Height;
    const GLfloat z = C.Raster[2];
    // Counter-clockwise in the window, so culling never takes it.
    Emit(C, x0, y0, z, u0, v0);
    Emit(C, x1, y0, z, u1, v0);
    Emit(C, x1, y1, z, u1, v1);
    Emit(C, x0, y0, z, u0, v0);
    Emit(C, x1, y1, z, u1, v1);
    Emit(C, x0, y1, z, u0, v1);
  }
  C.Raster[0] += Bitmap.MoveX;
  C.Raster[1] += Bitmap.MoveY;
}

} // namespace

TGlesContext* GlesCreateContext() {
  auto* C = new TGlesContext;
  // The plainest program is built now, so that shaders this ES cannot take fail here.
  if (!UseProgram(*C, 0)) {
    delete C;
    return nullptr;
  }

  glGenVertexArrays(1, &C->VertexArray);
  glBindVertexArray(C->VertexArray);
  glGenBuffers(1, &C->Buffer);
  glBindBuffer(GL_ARRAY_BUFFER, C->Buffer);
  const auto Attribute = [](GLuint Index, GLint Size, std::size_t Offset) {
    glEnableVertexAttribArray(Index);
    glVertexAttribPointer(Index, Size, GL_FLOAT, GL_FALSE, sizeof(TVertex),
                          reinterpret_cast<const void*>(Offset));
  };
  Attribute(PositionAttribute, 3, offsetof(TVertex, Position));
  Attribute(TexCoordAttribute, 2, offsetof(TVertex, TexCoord));
  Attribute(ColourAttribute, 4, offsetof(TVertex, Colour));
  Attribute(GlyphAttribute, 2, offsetof(TVertex, Glyph));

  GLint MaxViewport[2] = {4096, 4096};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, MaxViewport);
  while (C->BitmapViewport * 2 <= std::min(MaxViewport[0], MaxViewport[1])) {
    C->BitmapViewport *= 2;
  }
  // The viewport ES starts with is the window's, as 1.1's would be.
  glGetIntegerv(GL_VIEWPORT, C->Viewport);
  std::copy(C->Viewport, C->Viewport + 4, C->EsViewport);
  return C;
}

void GlesMakeCurrent(TGlesContext* Context) {
  Current = Context;
}

void GlesDeleteContext(TGlesContext* Context, bool EsContextCurrent) {
  if (Context == nullptr) {
    return;
  }
  if (EsContextCurrent) {
    for (const TProgram& Program : Context->Programs) {
      glDeleteProgram(Program.Name);
    }
    glDeleteVertexArrays(1, &Context->VertexArray);
    glDeleteBuffers(1, &Context->Buffer);
    glDeleteTextures(1, &Context->Atlas.Texture);
  }
  if (Current == Context) {
    Current = nullptr;
  }
  delete Context;
}

void GlesBegin(GLenum Mode) {
  if (Current == nullptr) {
    return;
  }
  if (Current->InPrimitive || (Mode != GL_TRIANGLE_STRIP && Mode != GL_QUADS)) {
    SetError(*Current, Current->InPrimitive ? GL_INVALID_OPERATION : GL_INVALID_ENUM);
    return;
  }
  Current->InPrimitive = true;
  Current->Primitive = Mode;
  Current->Primitives.clear();
}

void GlesEnd() {
  if (Current == nullptr) {
    return;
  }
  TGlesContext& C = *Current;
  if (!C.InPrimitive) {
    SetError(C, GL_INVALID_OPERATION);
    return;
  }
  C.InPrimitive = false;
  StartBatchOf(C, false);
  const std::vector<TVertex>& V = C.Primitives;
  const auto Triangle = [&C, &V](std::size_t a, std::size_t b, std::size_t c) {
    C.Batch.insert(C.Batch.end(), {V[a], V[b], V[c]});
  };
  // The triangles and their vertex order are those the desktop's OpenGL cuts these into.
  if (C.Primitive == GL_TRIANGLE_STRIP) {
    for (std::size_t i = 0; i + 2 < V.size(); ++i) {
      Triangle(i + (i & 1), i + 1 - (i & 1), i + 2);
    }
  } else {
    for (std::size_t i = 0; i + 3 < V.size(); i += 4) {
      Triangle(i, i + 1, i + 3);
      Triangle(i + 1, i + 2, i + 3);
    }
  }
}

void GlesVertex2f(GLfloat x, GLfloat y) {
  if (Current == nullptr || !Current->InPrimitive) {
    return;
  }
  const TGlesContext& C = *Current;
  Current->Primitives.push_back(TVertex{{x, y, 0},
                                        {C.TexCoord[0], C.TexCoord[1]},
                                        {C.Colour[0], C.Colour[1], C.Colour[2], C.Colour[3]},
                                        {0, 0}});
}

void GlesVertex2i(GLint x, GLint y) {
  GlesVertex2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y));
}

void GlesTexCoord2f(GLfloat s, GLfloat t) {
  if (Current != nullptr) {
    Current->TexCoord[0] = s;
    Current->TexCoord[1] = t;
  }
}

void GlesTexCoord2i(GLint s, GLint t) {
  GlesTexCoord2f(static_cast<GLfloat>(s), static_cast<GLfloat>(t));
}

void GlesColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  if (Current != nullptr) {
    // Colours reach the fragments clamped to [0, 1], as 1.1 clamps them after the vertex stage.
    const GLfloat Values[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) {
      Current->Colour[i] = std::clamp(Values[i], 0.0f, 1.0f);
    }
  }
}

void GlesColor3f(GLfloat r, GLfloat g, GLfloat b) {
  GlesColor4f(r, g, b, 1);
}

void GlesColor3ub(GLubyte r, GLubyte g, GLubyte b) {
  GlesColor4f(r / 255.0f, g / 255.0f, b / 255.0f, 1);
}

void GlesMatrixMode(GLenum Mode) {
  if (Current == nullptr) {
    return;
  }
  if (Mode != GL_MODELVIEW && Mode != GL_PROJECTION) {
    SetError(*Current, GL_INVALID_ENUM);
    return;
  }
  Current->MatrixMode = Mode;
}

void GlesLoadIdentity() {
  if (Current != nullptr) {
    ChangeTop(*Current) = Identity;
  }
}

void GlesOrtho(double Left, double Right, double Bottom, double Top, double Near, double Far) {
  if (Current == nullptr) {
    return;
  }
  if (Left == Right || Bottom == Top || Near == Far) {
    SetError(*Current, GL_INVALID_VALUE);
    return;
  }
  // Narrowed to float first and worked out in float, as the desktop's OpenGL does.
  const auto l = static_cast<GLfloat>(Left), r = static_cast<GLfloat>(Right);
  const auto b = static_cast<GLfloat>(Bottom), t = static_cast<GLfloat>(Top);
  const auto n = static_cast<GLfloat>(Near), f = static_cast<GLfloat>(Far);
  TMatrix Ortho = Identity;
  Ortho[0] = 2.0f / (r - l);
  Ortho[5] = 2.0f / (t - b);
  Ortho[10] = -2.0f / (f - n);
  Ortho[12] = -(r + l) / (r - l);
  Ortho[13] = -(t + b) / (t - b);
  Ortho[14] = -(f + n) / (f - n);
  TMatrix& M = ChangeTop(*Current);
  M = Multiply(M, Ortho);
}

void GlesTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  if (Current == nullptr) {
    return;
  }
  TMatrix& M = ChangeTop(*Current);
  for (int Row = 0; Row < 4; ++Row) {
    M[12 + Row] = M[Row] * x + M[4 + Row] * y + M[8 + Row] * z + M[12 + Row];
  }
}

void GlesRotatef(GLfloat Angle, GLfloat x, GLfloat y, GLfloat z) {
  if (Current == nullptr) {
    return;
  }
  // The sine and cosine of the angle narrowed to float after a double conversion to radians.
  const GLfloat Radians = static_cast<GLfloat>(Angle * std::numbers::pi / 180.0);
  const GLfloat s = std::sin(Radians), c = std::cos(Radians);
  TMatrix Rotation = Identity;
  if (x == 0 && y == 0) {
    if (z == 0) {
      return;
    }
    Rotation[0] = Rotation[5] = c;
    Rotation[4] = z < 0 ? s : -s;
    Rotation[1] = z < 0 ? -s : s;
  } else {
    const GLfloat Length = std::sqrt(x * x + y * y + z * z);
    x /= Length;
    y /= Length;
    z /= Length;
    const GLfloat OneC = 1.0f - c;
    Rotation[0] = x * x * OneC + c;
    Rotation[4] = x * y * OneC - z * s;
    Rotation[8] = z * x * OneC + y * s;
    Rotation[1] = x * y * OneC + z * s;
    Rotation[5] = y * y * OneC + c;
    Rotation[9] = y * z * OneC - x * s;
    Rotation[2] = z * x * OneC - y * s;
    Rotation[6] = y * z * OneC + x * s;
    Rotation[10] = z * z * OneC + c;
  }
  TMatrix& M = ChangeTop(*Current);
  M = Multiply(M, Rotation);
}

void GlesPushMatrix() {
  if (Current == nullptr) {
    return;
  }
  std::vector<TMatrix>& Stack = Current->Stacks[Current->MatrixMode == GL_PROJECTION];
  if (Stack.size() >= 32) {
    SetError(*Current, GL_STACK_OVERFLOW);
    return;
  }
  Stack.push_back(Stack.back());
}

void GlesPopMatrix() {
  if (Current == nullptr) {
    return;
  }
  std::vector<TMatrix>& Stack = Current->Stacks[Current->MatrixMode == GL_PROJECTION];
  if (Stack.size() <= 1) {
    SetError(*Current, GL_STACK_UNDERFLOW);
    return;
  }
  Flush(*Current);
  Stack.pop_back();
}

void GlesEnable(GLenum Cap) {
  if (Current != nullptr) {
    SetSwitch(*Current, Cap, true);
  }
}

void GlesDisable(GLenum Cap) {
  if (Current != nullptr) {
    SetSwitch(*Current, Cap, false);
  }
}

GLboolean GlesIsEnabled(GLenum Cap) {
  if (Current == nullptr) {
    return GL_FALSE;
  }
  switch (Cap) {
  case GL_TEXTURE_2D:
    return Current->Texture2D;
  case GL_ALPHA_TEST:
    return Current->AlphaTest;
  case GL_BLEND:
    return Current->Blend;
  case GL_CULL_FACE:
    return Current->CullFace;
  case GL_DEPTH_TEST:
    return Current->DepthTest;
  default:
    SetError(*Current, GL_INVALID_ENUM);
    return GL_FALSE;
  }
}

void GlesAlphaFunc(GLenum Func, GLfloat Ref) {
  if (Current == nullptr) {
    return;
  }
  if (Func < GL_NEVER || Func > GL_ALWAYS) {
    SetError(*Current, GL_INVALID_ENUM);
    return;
  }
  Flush(*Current);
  Current->AlphaFunc = Func;
  Current->AlphaRef = std::clamp(Ref, 0.0f, 1.0f);
}

void GlesBlendFunc(GLenum Source, GLenum Destination) {
  if (Current != nullptr) {
    Flush(*Current);
    glBlendFunc(Source, Destination);
  }
}

void GlesViewport(GLint x, GLint y, GLsizei Width, GLsizei Height) {
  if (Current == nullptr) {
    return;
  }
  if (Width < 0 || Height < 0) {
    SetError(*Current, GL_INVALID_VALUE);
    return;
  }
  Flush(*Current);
  const GLint Viewport[4] = {x, y, Width, Height};
  std::copy(Viewport, Viewport + 4, Current->Viewport);
}

void GlesClear(GLbitfield Mask) {
  if (Current != nullptr) {
    Flush(*Current);
    glClear(Mask);
  }
}

void GlesBindTexture(GLenum Target, GLuint Texture) {
  if (Current == nullptr || Texture == Current->BoundTexture) {
    return;
  }
  Flush(*Current);
  Current->BoundTexture = Texture;
  Current->Textures.try_emplace(Texture);
  glBindTexture(Target, Texture);
}

void GlesTexParameterf(GLenum Target, GLenum Name, GLfloat Value) {
  if (Current == nullptr) {
    return;
  }
  Flush(*Current);
  if (Name == GL_TEXTURE_MIN_FILTER) {
    Current->Textures[Current->BoundTexture].MinFilter = static_cast<GLenum>(Value);
  }
  glTexParameterf(Target, Name, Value);
}

void GlesTexImage2D(GLenum Target, GLint Level, GLint InternalFormat, GLsizei Width, GLsizei Height,
                    GLint Border, GLenum Format, GLenum Type, const void* Pixels) {
  if (Current == nullptr) {
    return;
  }
  Flush(*Current);
  if (Level == 0) {
    Current->Textures[Current->BoundTexture].HasImage = Width > 0 && Height > 0;
  }
  glTexImage2D(Target, Level, InternalFormat, Width, Height, Border, Format, Type, Pixels);
}

void GlesPixelStorei(GLenum Name, GLint Value) {
  if (Current == nullptr) {
    return;
  }
  TPixelStore& Store = Current->Unpack;
  switch (Name) {
  case GL_UNPACK_LSB_FIRST:
    Store.LsbFirst = Value != 0;
    return;
  case GL_UNPACK_SWAP_BYTES:
    // Bitmaps are single bits and the game's pictures single bytes: nothing to swap.
    Store.SwapBytes = Value != 0;
    return;
  case GL_UNPACK_ALIGNMENT:
    Store.Alignment = Value;
    break;
  case GL_UNPACK_ROW_LENGTH:
    Store.RowLength = Value;
    break;
  case GL_UNPACK_SKIP_ROWS:
    Store.SkipRows = Value;
    break;
  case GL_UNPACK_SKIP_PIXELS:
    Store.SkipPixels = Value;
    break;
  default:
    break;
  }
  glPixelStorei(Name, Value);
}

void GlesPushClientAttrib(GLbitfield) {
  if (Current != nullptr) {
    Current->ClientAttribs.push_back(Current->Unpack);
  }
}

void GlesPopClientAttrib() {
  if (Current == nullptr) {
    return;
  }
  if (Current->ClientAttribs.empty()) {
    SetError(*Current, GL_STACK_UNDERFLOW);
    return;
  }
  Current->Unpack = Current->ClientAttribs.back();
  Current->ClientAttribs.pop_back();
  SendUnpack(Current->Unpack);
}

GLuint GlesGenLists(GLsizei Range) {
  if (Current == nullptr || Range <= 0) {
    if (Current != nullptr && Range < 0) {
      SetError(*Current, GL_INVALID_VALUE);
    }
    return 0;
  }
  const GLuint First = Current->NextList;
  for (GLsizei i = 0; i < Range; ++i) {
    Current->Lists[First + static_cast<GLuint>(i)];
  }
  Current->NextList += static_cast<GLuint>(Range);
  return First;
}

void GlesDeleteLists(GLuint List, GLsizei Range) {
  if (Current == nullptr) {
    return;
  }
  auto& Lists = Current->Lists;
  Lists.erase(Lists.lower_bound(List), Lists.lower_bound(List + static_cast<GLuint>(Range)));
  // With no list left the atlas starts again; the texture is rewritten on its next use.
  if (Lists.empty()) {
    const GLuint Texture = Current->Atlas.Texture;
    Current->Atlas = TAtlas{};
    Current->Atlas.Texture = Texture;
  }
}

void GlesNewList(GLuint List, GLenum Mode) {
  if (Current == nullptr) {
    return;
  }
  if (List == 0 || Mode != GL_COMPILE || Current->CompilingList != 0) {
    SetError(*Current, List == 0            ? GL_INVALID_VALUE
                       : Mode != GL_COMPILE ? GL_INVALID_ENUM
                                            : GL_INVALID_OPERATION);
    return;
  }
  Current->CompilingList = List;
  Current->Compiling.clear();
}

void GlesEndList() {
  if (Current == nullptr) {
    return;
  }
  if (Current->CompilingList == 0) {
    SetError(*Current, GL_INVALID_OPERATION);
    return;
  }
  Current->Lists[Current->CompilingList] = std::move(Current->Compiling);
  Current->Compiling.clear();
  Current->CompilingList = 0;
}

void GlesListBase(GLuint Base) {
  if (Current != nullptr) {
    Current->ListBase = Base;
  }
}

void GlesCallLists(GLsizei Count, GLenum Type, const void* Lists) {
  if (Current == nullptr) {
    return;
  }
  if (Type != GL_UNSIGNED_BYTE) {
    SetError(*Current, GL_INVALID_ENUM);
    return;
  }
  const auto* Names = static_cast<const GLubyte*>(Lists);
  for (GLsizei i = 0; i < Count; ++i) {
    const auto Found = Current->Lists.find(Current->ListBase + Names[i]);
    if (Found != Current->Lists.end()) {
      for (const TBitmap& Bitmap : Found->second) {
        DrawBitmap(*Current, Bitmap);
      }
    }
  }
}

void GlesPushAttrib(GLbitfield Mask) {
  if (Current != nullptr) {
    Current->Attribs.emplace_back(Mask, Current->ListBase);
  }
}

void GlesPopAttrib() {
  if (Current == nullptr) {
    return;
  }
  if (Current->Attribs.empty()) {
    SetError(*Current, GL_STACK_UNDERFLOW);
    return;
  }
  if ((Current->Attribs.back().first & GL_LIST_BIT) != 0) {
    Current->ListBase = Current->Attribs.back().second;
  }
  Current->Attribs.pop_back();
}

void GlesRasterPos2f(GLfloat x, GLfloat y) {
  if (Current == nullptr) {
    return;
  }
  TGlesContext& C = *Current;
  const TMatrix M = ModelViewProjection(C);
  GLfloat Clip[4];
  for (int Row = 0; Row < 4; ++Row) {
    Clip[Row] = M[Row] * x + M[4 + Row] * y + M[8 + Row] * 0.0f + M[12 + Row];
  }
  // A position outside the view volume is invalid: bitmaps then draw nothing and do not move it.
  C.RasterValid = true;
  for (int Axis = 0; Axis < 3; ++Axis) {
    C.RasterValid &= -Clip[3] <= Clip[Axis] && Clip[Axis] <= Clip[3];
  }
  if (!C.RasterValid) {
    return;
  }
  const GLfloat HalfWidth = C.Viewport[2] / 2.0f, HalfHeight = C.Viewport[3] / 2.0f;
  C.Raster[0] = Clip[0] / Clip[3] * HalfWidth + (C.Viewport[0] + HalfWidth);
  C.Raster[1] = Clip[1] / Clip[3] * HalfHeight + (C.Viewport[1] + HalfHeight);
  C.Raster[2] = Clip[2] / Clip[3];
  std::copy(C.Colour, C.Colour + 4, C.RasterColour);
  std::copy(C.TexCoord, C.TexCoord + 2, C.RasterTexCoord);
}

void GlesBitmap(GLsizei Width, GLsizei Height, GLfloat OriginX, GLfloat OriginY, GLfloat MoveX,
                GLfloat MoveY, const GLubyte* Pixels) {
  if (Current == nullptr) {
    return;
  }
  if (Width < 0 || Height < 0) {
    SetError(*Current, GL_INVALID_VALUE);
    return;
  }
  const TBitmap Bitmap =
      StoreBitmap(*Current, TBitmap{Width, Height, OriginX, OriginY, MoveX, MoveY, 0, 0}, Pixels);
  if (Current->CompilingList != 0) {
    Current->Compiling.push_back(Bitmap);
  } else {
    DrawBitmap(*Current, Bitmap);
  }
}

void GlesGetIntegerv(GLenum Name, GLint* Values) {
  if (Current == nullptr) {
    return;
  }
  if (Name == GL_MATRIX_MODE) {
    Values[0] = static_cast<GLint>(Current->MatrixMode);
  } else if (Name == GL_VIEWPORT) {
    std::copy(Current->Viewport, Current->Viewport + 4, Values);
  } else {
    glGetIntegerv(Name, Values);
  }
}

void GlesGetFloatv(GLenum Name, GLfloat* Values) {
  if (Current == nullptr) {
    return;
  }
  if (Name == GL_MODELVIEW_MATRIX || Name == GL_PROJECTION_MATRIX) {
    const TMatrix& M = Current->Stacks[Name == GL_PROJECTION_MATRIX].back();
    std::copy(M.begin(), M.end(), Values);
  } else {
    glGetFloatv(Name, Values);
  }
}

GLenum GlesGetError() {
  if (Current == nullptr) {
    return GL_NO_ERROR;
  }
  const GLenum Own = Current->Error;
  Current->Error = GL_NO_ERROR;
  return Own != GL_NO_ERROR ? Own : glGetError();
}

void GlesReadPixels(GLint x, GLint y, GLsizei Width, GLsizei Height, GLenum Format, GLenum Type,
                    void* Pixels) {
  if (Current != nullptr) {
    Flush(*Current);
    glReadPixels(x, y, Width, Height, Format, Type, Pixels);
  }
}

void GlesFlush() {
  if (Current != nullptr) {
    Flush(*Current);
    glFlush();
  }
}

void GlesFinish() {
  if (Current != nullptr) {
    Flush(*Current);
    glFinish();
  }
}
