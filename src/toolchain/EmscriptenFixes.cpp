// What Emscripten 3.1.6's runtime gets wrong, replaced for the programs it builds. Its binary128
// division (compiler-rt's __divtf3) sometimes returns twice the quotient: 1 / (4 - 2^-110), for
// one, comes out near 0.5. long double is binary128 there, so every long-double division of the
// game goes through it, and the C library's atan2l, which divides, with them; the aim rule's
// angle for the pointer at (+4, +1) from the player came out as that of (+2, +1). The linker
// takes a program's own definition before the runtime library's.
#ifdef __EMSCRIPTEN__
#include "toolchain/Binary128.h"

#include <cstring>

extern "C" long double __divtf3(long double a, long double b) {
  TBinary128Bits BitsA, BitsB;
  std::memcpy(&BitsA, &a, sizeof a);
  std::memcpy(&BitsB, &b, sizeof b);
  const TBinary128Bits Bits = Binary128Quotient(BitsA, BitsB);
  long double Result;
  std::memcpy(&Result, &Bits, sizeof Result);
  return Result;
}
#endif
