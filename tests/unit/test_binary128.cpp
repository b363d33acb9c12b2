// The binary128 division that replaces a toolchain's faulty one, against the compiler's own
// __float128 division on this machine, which is right: the quotients the faulty one doubled, edge
// cases of IEEE 754, and random operands whose significands are all ones as often as not.
#include "toolchain/Binary128.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SIZEOF_INT128__) && defined(__SIZEOF_FLOAT128__)
namespace {

using U128 = TBinary128Bits;

U128 Bits(__float128 Value) {
  U128 Result;
  std::memcpy(&Result, &Value, sizeof Result);
  return Result;
}

__float128 Value(U128 Bits) {
  __float128 Result;
  std::memcpy(&Result, &Bits, sizeof Result);
  return Result;
}

U128 Make(std::uint64_t High, std::uint64_t Low) {
  return static_cast<U128>(High) << 64 | Low;
}

} // namespace

TEST(Binary128Quotient, IsCorrectlyRoundedWhereTheToolchainsWasNot) {
  const U128 AllOnes = (static_cast<U128>(1) << 112) - 1;
  std::vector<std::pair<U128, U128>> Cases = {
      {Bits(1), Make(0x4000ffffffffffff, ~0ull)},    // 1 / (4 - 2^-110)
      {Make(0x3ffef0b6848d2af1, 0xc28cc5899914c888), // the aim rule's y / x at (+4, +1)
       Make(0x3ffcf0b6848d2af1, 0xc28cc5899914c889)},
      {Bits(1), Bits(3)},
      {Bits(-7), Bits(2)},
      {Bits(0), Bits(5)},
      {Bits(5), Bits(0)},
      {Bits(0), Bits(0)},
      {Make(0x7fff000000000000, 0), Bits(2)},
      {Bits(2), Make(0xffff000000000000, 0)},
      {Make(0x7fff800000000000, 1), Bits(1)},
      {Make(0, 1), Bits(3)}, // NaN, the least subnormal
      {Make(0x0001000000000000, 0), Bits(3)},
      {Make(0x7ffe000000000000, 0), Make(0, 3)},
      {Make(0x0000800000000000, 0), Make(0x3ffe000000000000, 1)}, // rounds up to the least normal
      {Make(0, 3), Bits(2)},
      {Make(0, 5), Bits(2)}, // subnormal ties go to even
  };
  std::uint64_t Seed = 88172645463325252ull;
  const auto Next = [&] {
    Seed ^= Seed << 13, Seed ^= Seed >> 7, Seed ^= Seed << 17;
    return Seed;
  };
  for (int i = 0; i < 200000; ++i) {
    U128 Operand[2];
    for (U128& Each : Operand) {
      const std::uint64_t Exponent = (Next() % 3 == 0 ? Next() % 0x7fff : 0x3ff0 + Next() % 32);
      const U128 Fraction = Next() % 2 == 0 ? AllOnes - Next() % 4 : Make(Next(), Next()) & AllOnes;
      Each = static_cast<U128>(Exponent) << 112 | Fraction | static_cast<U128>(Next() % 2) << 127;
    }
    Cases.emplace_back(Operand[0], Operand[1]);
  }
  for (const auto& [a, b] : Cases) {
    const __float128 Expected = Value(a) / Value(b);
    const U128 Got = Binary128Quotient(a, b);
    if (Expected != Expected) {
      EXPECT_NE(Value(Got), Value(Got)) << "a NaN stays a NaN";
    } else {
      ASSERT_EQ(static_cast<std::uint64_t>(Got >> 64),
                static_cast<std::uint64_t>(Bits(Expected) >> 64));
      ASSERT_EQ(static_cast<std::uint64_t>(Got), static_cast<std::uint64_t>(Bits(Expected)));
    }
  }
}
#endif
