// Division of IEEE binary128 numbers on their bits, for the toolchains whose own is wrong.
#pragma once

#ifdef __SIZEOF_INT128__
using TBinary128Bits = unsigned __int128;

// a / b, correctly rounded to nearest even, with infinities, NaNs, zeros and subnormals as
// IEEE 754 has them.
TBinary128Bits Binary128Quotient(TBinary128Bits a, TBinary128Bits b);
#endif
