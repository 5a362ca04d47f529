// Copies between single- and double-precision arrays, and the module's 16-bit integers.
// Elements are counted from 1, as the callers count them.
#pragma once

#include <cstdint>
#include <span>

// Copies src elements i1..i2 to dst from element j on, converting each. Nothing is copied when
// i1 < 1, i1 > i2 or j < 1; a range that leaves either array is refused with an error line and
// nothing is copied.
void copy_real_to_double(std::span<const float> src, int i1, int i2, std::span<double> dst, int j);
// The same from double to single precision, rounding to the nearest single.
void copy_double_to_real(std::span<const double> src, int i1, int i2, std::span<float> dst, int j);

// 16-bit integer fields are kept unsigned; 65535 stands for -1.
void copy_i2(const std::uint16_t& src, std::uint16_t& dst);
// The unsigned 16-bit value of v's low 16 bits, except that 65535 gives -1.
int i2_to_i4(int v);
// Stores the low 16 bits of v; -1 is stored as 65535.
void i4_to_i2(int v, std::uint16_t& out);
