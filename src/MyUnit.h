// Small helpers shared across the game: vectors, boxes, angles, numbers as text and pictures.
#pragma once

#include "UTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

// Every build must play the same game, tick for tick: object fields are stored as 32-bit floats,
// intermediate results are computed in long double (80-bit on x86, on Linux and Windows alike)
// and stored back, and the compiler may neither fuse a multiply with an add nor reorder
// arithmetic (-ffp-contract=off, no fast-math). The unit files spell out each conversion.

// Angles live on the objects in radians; glRotatef wants degrees: divide by this exact literal.
constexpr long double RadiansPerDegree = 0.0174532925L;

TVector MakeVector(float x, float y, float z);

// Axis-aligned boxes centred on A and B with full sizes SA and SB; touching boxes overlap.
bool BoxesOverlap(const TVector& A, const TVector& B, const TVector& SA, const TVector& SB);

// Arc cosine as atan2(sqrt((1 + x)(1 - x)), x).
long double ArcCos(long double x);

// Aim rule: the facing angle for an offset (dx, dy), 0 facing +y (down the screen).
// Returns false and leaves Angle alone when the offset has length 0.
bool AimAngle(float dx, float dy, float& Angle);

// Decimal text of a signed 32-bit value: a minus sign for negatives, no padding.
std::string IntToText(std::int32_t Value);

// The one way the game reports a failure to the player: the line "kelto: What" on standard error
// and What in a message box captioned "Error" (where a display can be opened).
void ReportError(const std::string& What);
// The same line on standard error alone, without a box: for a fault the game goes on with.
void ReportWarning(const std::string& What);
// ReportError, then the program ends with exit status 1.
[[noreturn]] void FatalError(const std::string& What);
// FatalError for the exception being handled (call it from a catch block): "out of memory" for
// std::bad_alloc, reported without allocating anything, else "unexpected error" with the
// exception's own text.
[[noreturn]] void FatalCurrentException() noexcept;
// For std::set_terminate: an exception that nothing caught ends the program through
// FatalCurrentException instead of an abort and a core dump.
[[noreturn]] void TerminateWithReport() noexcept;

// Opens FileName for reading when it is a regular file (a link to one is fine); otherwise null,
// with why in Reason: the system's reason, or "not a regular file (a FIFO)" and the like. A FIFO
// or a device could block the open or the reads for ever, or never end, so no reader opens one.
std::FILE* OpenRegularFile(const std::string& FileName, std::string& Reason);

// --- Pictures (uncompressed 24- or 32-bit TGA) ---

enum class TTgaResult {
  Ok,
  Missing,     // no such file (or a folder where the file was expected)
  BadHeader,   // fewer than 12 header bytes, or not the reference header
  ShortLayout, // fewer than 6 bytes of width, height, depth and descriptor
  BadSize,     // width or height 0 (Width and Height are stored)
  BadDepth,    // depth not 24 or 32 (Width and Height are stored)
  ShortData,   // pixel data shorter than the image (Width, Height, BitsPerPixel stored)
  NoMemory,    // the pixel buffer cannot be allocated
  IoError,     // the file exists but cannot be opened or read, or is not a regular file
};

// Reads and checks a picture into Texture without touching OpenGL; ReasonText receives why for
// every result but Ok (the system's reason for Missing and IoError).
TTgaResult ReadTgaFile(TTexture& Texture, const std::string& FileName,
                       std::string* ReasonText = nullptr);
// The same checks on a picture already in memory (never Missing or IoError).
TTgaResult ReadTgaData(TTexture& Texture, const std::uint8_t* Data, std::size_t Size);

// Reads a picture and uploads it as a texture (needs a current context). A missing or malformed
// file gives false and a warning naming it; an input/output error on an existing file ends the
// program.
bool LoadTextureFile(TTexture& Texture, const std::string& FileName);
