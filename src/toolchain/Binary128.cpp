#include "toolchain/Binary128.h"

#ifdef __SIZEOF_INT128__
#include <cstdint>

namespace {

using U128 = TBinary128Bits;
constexpr int FractionBits = 112;
constexpr U128 One = 1;
constexpr U128 Implicit = One << FractionBits;
constexpr U128 FractionMask = Implicit - 1;
constexpr U128 SignBit = One << 127;
constexpr std::int32_t MaxExponent = 0x7fff;
constexpr std::int32_t Bias = 0x3fff;
constexpr U128 Infinity = static_cast<U128>(MaxExponent) << FractionBits;
constexpr U128 QuietNaN = Infinity | (One << (FractionBits - 1));

// The significand with its leading one in place, and the exponent it then has; subnormals are
// shifted up to put their leading one there.
void Unpack(U128 Bits, U128& Significand, std::int32_t& Exponent) {
  Exponent = static_cast<std::int32_t>((Bits >> FractionBits) & MaxExponent);
  Significand = Bits & FractionMask;
  if (Exponent != 0) {
    Significand |= Implicit;
    return;
  }
  Exponent = 1;
  while ((Significand & Implicit) == 0) {
    Significand <<= 1;
    --Exponent;
  }
}

} // namespace

U128 Binary128Quotient(U128 a, U128 b) {
  const U128 Sign = (a ^ b) & SignBit;
  const U128 MagnitudeA = a & ~SignBit;
  const U128 MagnitudeB = b & ~SignBit;
  if (MagnitudeA > Infinity) {
    return a | QuietNaN;
  }
  if (MagnitudeB > Infinity) {
    return b | QuietNaN;
  }
  if (MagnitudeA == Infinity) {
    return MagnitudeB == Infinity ? QuietNaN : Sign | Infinity;
  }
  if (MagnitudeB == Infinity) {
    return Sign;
  }
  if (MagnitudeB == 0) {
    return MagnitudeA == 0 ? QuietNaN : Sign | Infinity;
  }
  if (MagnitudeA == 0) {
    return Sign;
  }
  U128 SignificandA, SignificandB;
  std::int32_t ExponentA, ExponentB;
  Unpack(MagnitudeA, SignificandA, ExponentA);
  Unpack(MagnitudeB, SignificandB, ExponentB);
  std::int32_t Exponent = ExponentA - ExponentB + Bias;
  if (SignificandA < SignificandB) {
    SignificandA <<= 1;
    --Exponent;
  }
  // Long division: 113 quotient bits and two more to round with; what is left makes the sticky
  // bit. The remainder stays below twice the divisor, so it never needs more than 114 bits.
  U128 Quotient = 0;
  U128 Remainder = SignificandA;
  for (int Bit = 0; Bit < FractionBits + 3; ++Bit) {
    Quotient <<= 1;
    if (Remainder >= SignificandB) {
      Remainder -= SignificandB;
      Quotient |= 1;
    }
    Remainder <<= 1;
  }
  bool Sticky = Remainder != 0;
  // Below the normal range the quotient loses low bits before it is rounded.
  if (Exponent < 1) {
    const std::int32_t Shift = 1 - Exponent;
    if (Shift > FractionBits + 3) {
      return Sign;
    }
    Sticky = Sticky || (Quotient & ((One << Shift) - 1)) != 0;
    Quotient >>= Shift;
    Exponent = 0;
  }
  U128 Significand = Quotient >> 2;
  const bool Half = (Quotient & 2) != 0;
  const bool Beyond = (Quotient & 1) != 0 || Sticky;
  if (Half && (Beyond || (Significand & 1) != 0)) {
    ++Significand;
  }
  // A subnormal's significand carries no leading one, so a carry into it makes the smallest
  // normal number by itself. A normal quotient never rounds up to 2: with integer significands
  // below 2^113, 2 - A / B = (2B - A) / B is at least 2^-113, more than half its last place.
  if (Exponent == 0) {
    return Sign | Significand;
  }
  if (Exponent >= MaxExponent) {
    return Sign | Infinity;
  }
  return Sign | (static_cast<U128>(Exponent) << FractionBits) | (Significand & FractionMask);
}
#endif
