// Picked-block records and the small routines of the picking (see the header).
#include "edit/trim/pick_records.hpp"

#include "host/vantu_interact.hpp"

#include <cmath>
#include <utility>

namespace {
constexpr std::size_t kCountLineChars = 31;
constexpr double kDegreesToRadians = 3.14159265358979323846 / 180.0;
}  // namespace

int chain_rec_find(const pick_entry* records, int from, int count, int block)
{
    for (int i = from < 0 ? 0 : from; records && i < count; ++i)
        if (records[i].block == block && records[i].duplicate == 0) return i;
    return -1;
}

void chain_rec_swap(pick_entry& a, pick_entry& b) { std::swap(a, b); }

int seg_is_vertical(const point3& a, const point3& b, float degrees)
{
    const float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (length == 0.0f) return 1;
    const auto limit = static_cast<float>(std::fabs(std::cos(degrees * kDegreesToRadians)));
    return std::fabs(d[2] / length) > limit ? 1 : 0;
}

std::string block_count_text(int count)
{
    std::string text = "NUMBER OF BLOCKS = " + std::to_string(count);
    if (text.size() < kCountLineChars) text.resize(kCountLineChars, ' ');
    return text;
}

void show_block_count(int count)
{
    int value = 1;
    modmc(block_count_text(count), value);
}
