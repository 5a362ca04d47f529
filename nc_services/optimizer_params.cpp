// The optimizer block: item table, defaults, the two copies and the option-word helpers.
#include "nc_services/optimizer_params.hpp"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kTiltFlag = 128, kOptionModeMask = 127;

// Code, real, count, in the block's order; offsets follow from the counts.
struct item_row {
    int code;
    bool real;
    int count;
};
constexpr item_row kRows[] = {
    {59, false, 1},   {60, true, 1},   {61, true, 1},   {62, false, 1},   {63, true, 1},   {64, true, 1},
    {65, false, 1},   {66, true, 1},   {67, true, 1},   {122, false, 1},  {68, false, 1},  {69, true, 1},
    {70, true, 1},    {71, false, 1},  {72, false, 1},  {73, false, 1},   {74, true, 1},   {75, true, 1},
    {76, false, 1},   {77, true, 1},   {108, false, 1}, {78, false, 1},   {79, true, 1},   {80, true, 1},
    {81, false, 1},   {109, true, 5},  {110, false, 6}, {111, true, 5},   {112, false, 6}, {114, false, 1},
    {115, false, 1},  {120, false, 1}, {121, false, 1}, {125, false, 10}, {126, false, 1}, {127, false, 10},
    {128, false, 10}, {130, false, 1}, {133, false, 1}, {131, true, 1},   {132, false, 1},
};
constexpr std::size_t kItemCount = std::size(kRows);

constexpr std::array<optimizer_item, kItemCount> build_items()
{
    std::array<optimizer_item, kItemCount> items{};
    int offset = 0;
    for (std::size_t i = 0; i < kItemCount; ++i) {
        items[i] = {kRows[i].code, kRows[i].real, kRows[i].count, offset};
        offset += kRows[i].count;
    }
    return items;
}
constexpr auto kItems = build_items();
static_assert(kItems.back().offset + kItems.back().count == optimizer_params::kItemWords);

optimizer_params g_current, g_previous;

}  // namespace

std::span<const optimizer_item> optimizer_items() { return kItems; }

const optimizer_item* optimizer_item_of(int code)
{
    auto it =
        std::find_if(kItems.begin(), kItems.end(), [code](const optimizer_item& item) { return item.code == code; });
    return it == kItems.end() ? nullptr : &*it;
}

word& optimizer_params::at(int code, int k)
{
    const optimizer_item* item = optimizer_item_of(code);
    return words[static_cast<std::size_t>(item->offset + std::clamp(k, 0, item->count - 1))];
}

word optimizer_params::at(int code, int k) const { return const_cast<optimizer_params*>(this)->at(code, k); }

optimizer_params& opt_params_current() { return g_current; }
optimizer_params& opt_params_previous() { return g_previous; }

void opt_params_defaults()
{
    optimizer_params& p = g_current;
    const auto set_i = [&p](int code, int value) { p.set_ival(code, value); };
    const auto set_r = [&p](int code, float value) { p.set_rval(code, value); };
    set_i(59, 1);
    set_r(60, -0.5f);
    set_r(61, 5.0f);
    set_i(62, 1);
    set_r(63, 100.0f);
    set_r(64, 100.0f);
    set_i(65, 1);
    set_r(66, -99999.99f);
    set_r(67, 99999.99f);
    set_i(122, 1);
    set_i(68, 1);
    set_r(69, 0.0f);
    set_r(70, 90.0f);
    set_i(71, 1);
    set_i(72, 23);
    set_i(73, 1);
    set_r(74, 90.0f);
    set_r(75, 90.0f);
    set_i(76, 1);
    set_r(77, 10.0f);
    set_i(108, 10);
    set_i(78, 1);
    set_r(79, 10.0f);
    set_r(80, 10.0f);
    set_i(81, 0);
    constexpr float kRatios[5] = {0.5f, 1.2f, 1.5f, 2.0f, 3.0f};
    constexpr int kPercents[6] = {110, 100, 80, 65, 50, 30};
    constexpr float kAngles[5] = {30.0f, -1.0f, -20.0f, -45.0f, -75.0f};
    for (int k = 0; k < 5; ++k) {
        p.set_rval(109, kRatios[k], k);
        p.set_rval(111, kAngles[k], k);
    }
    for (int k = 0; k < 6; ++k) {
        p.set_ival(110, kPercents[k], k);
        p.set_ival(112, kPercents[k], k);
    }
    set_i(114, 3);
    set_i(115, 2);
    set_i(120, 0);
    set_i(121, 0);
    for (int k = 0; k < 10; ++k) {
        p.set_ival(125, -1, k);
        p.set_ival(127, 100, k);
        p.set_ival(128, 100, k);
    }
    set_i(126, 1);
    set_i(130, 1);
    set_i(133, 15);
    set_r(131, 15.0f);
    set_i(132, 10);
}

int opt_mode_val(int value) { return value & kOptionModeMask; }
int opt_mode_is1(int value) { return opt_mode_val(value) == 1 ? 1 : 0; }
int test_bit128(int value) { return (value & kTiltFlag) != 0 ? 1 : 0; }
int is_2_or_3(int value) { return value == 2 || value == 3 ? 1 : 0; }

void opt_clr_bit128(int& status)
{
    g_current.set_ival(kOptOptionWord, g_current.ival(kOptOptionWord) & ~kTiltFlag);
    status = 0;
}
