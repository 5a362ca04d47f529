// Array copies between precisions and the 16-bit conversions.
#include "driver/conversions.hpp"

#include "host/vantu.hpp"

#include <string>

namespace {

constexpr int kMinusOneAsI2 = 65535;

// True when elements i1..i2 of a source of n_src elements fit into a destination of n_dst
// elements from j on; a bad range is reported. The caller has checked i1 >= 1, i1 <= i2, j >= 1.
bool range_fits(const char* routine, int i1, int i2, std::size_t n_src, int j, std::size_t n_dst)
{
    std::size_t count = static_cast<std::size_t>(i2) - static_cast<std::size_t>(i1) + 1;
    bool fits = static_cast<std::size_t>(i2) <= n_src && static_cast<std::size_t>(j) - 1 + count <= n_dst;
    if (!fits)
        eroutc(std::string(routine) + ", ELEMENTS " + std::to_string(i1) + " TO " + std::to_string(i2) + " FROM " +
                   std::to_string(j) + " ARE OUTSIDE THE ARRAYS",
               0);
    return fits;
}

template <typename From, typename To>
void copy_converted(const char* routine, std::span<const From> src, int i1, int i2, std::span<To> dst, int j)
{
    if (i1 < 1 || i1 > i2 || j < 1) return;
    if (!range_fits(routine, i1, i2, src.size(), j, dst.size())) return;
    std::size_t first = static_cast<std::size_t>(i1 - 1);
    std::size_t count = static_cast<std::size_t>(i2 - i1) + 1;
    std::size_t target = static_cast<std::size_t>(j - 1);
    for (std::size_t k = 0; k < count; ++k) dst[target + k] = static_cast<To>(src[first + k]);
}

}  // namespace

void copy_real_to_double(std::span<const float> src, int i1, int i2, std::span<double> dst, int j)
{
    copy_converted("copy_real_to_double", src, i1, i2, dst, j);
}

void copy_double_to_real(std::span<const double> src, int i1, int i2, std::span<float> dst, int j)
{
    copy_converted("copy_double_to_real", src, i1, i2, dst, j);
}

void copy_i2(const std::uint16_t& src, std::uint16_t& dst) { dst = src; }

int i2_to_i4(int v)
{
    int low = v & 0xFFFF;
    return low == kMinusOneAsI2 ? -1 : low;
}

void i4_to_i2(int v, std::uint16_t& out) { out = static_cast<std::uint16_t>(v == -1 ? kMinusOneAsI2 : v & 0xFFFF); }
