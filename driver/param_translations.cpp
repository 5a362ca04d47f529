// The common parameter translations, kept as data: three tables of rows and one routine that
// registers a table. A parameter number may appear more than once; every row is registered.
#include "driver/param_translations.hpp"

#include "host/vantu.hpp"

namespace {

// {parameter, message, kind, second message}
constexpr translation_row first_list[] = {
    {3209, 607, 2, 615}, {3215, 624, 2, 627}, {3202, 629, 3, -1},  {3207, 647, 2, -1},  {3208, 630, 2, 634},
    {3201, 644, 1, -1},  {3204, 648, 2, -1},  {3203, 649, 2, -1},  {3205, 650, 2, -1},  {3213, 635, 2, 638},
    {3212, 639, 2, 642}, {3206, 651, 2, -1},  {3212, 643, 2, 646}, {3218, 652, 2, 659}, {3219, 660, 1, -1},
    {3219, 661, 1, -1},  {3219, 662, 1, -1},  {3219, 663, 1, -1},  {3221, 914, 1, -1},  {603, 1270, 2, -1},
    {604, 398, 2, -1},   {605, 1274, 3, -1},  {612, 1297, 2, -1},  {613, 1298, 3, -1},  {614, 1299, 2, -1},
    {615, 1300, 3, -1},  {616, 1301, 3, -1},  {617, 1302, 3, -1},  {618, 1303, 2, -1},  {619, 1304, 3, -1},
    {620, 1305, 2, -1},  {3100, 824, 5, -1},  {3100, 769, 5, -1},  {3101, 793, 2, 806}, {3102, 836, 2, 809},
    {3103, 810, 3, -1},  {3104, 811, 2, 814}, {3105, 815, 1, -1},  {3106, 816, 1, -1},  {3107, 837, 1, -1},
    {3108, 817, 2, 820}, {3109, 821, 1, -1},  {3110, 822, 1, -1},  {3111, 607, 2, 615}, {3112, 834, 2, -1},
    {3113, 835, 1, -1},
};

constexpr translation_row second_list[] = {
    {366, 870, 1, -1},  {367, 873, 2, 874},    {368, 878, 2, 879},  {3303, 880, 1, -1},
    {3304, 881, 1, -1}, {3325, 1340, 2, 1343}, {3302, 1047, 1, -1}, {3301, 1048, 1, -1},
};

constexpr translation_row third_list[] = {
    {3001, 696, 5, -1}, {3002, 768, 5, -1},  {3003, 673, 2, -1},  {3004, 712, 2, -1},  {3005, 713, 2, -1},
    {3006, 714, 2, -1}, {3007, 715, 2, -1},  {3008, 711, 2, -1},  {3009, 825, 2, 739}, {3014, 716, 3, -1},
    {3015, 717, 3, -1}, {3016, 718, 3, -1},  {3017, 719, 1, -1},  {3018, 720, 1, -1},  {3019, 721, 3, -1},
    {3006, 723, 2, -1}, {3010, 826, 2, 743}, {3011, 827, 2, 747}, {3012, 828, 2, 751}, {3013, 829, 2, 755},
    {3020, 722, 2, -1}, {3021, 671, 1, -1},  {3021, 677, 1, -1},  {3022, 672, 3, -1},  {3023, 675, 1, -1},
    {3024, 674, 1, -1}, {3025, 676, 1, -1},  {3026, 664, 1, -1},  {3027, 681, 1, -1},  {3028, 682, 1, -1},
    {3029, 767, 3, -1}, {3030, 765, 1, -1},  {3031, 678, 1, -1},  {3032, 756, 2, 761}, {3033, 683, 2, 691},
    {3034, 693, 1, -1}, {3035, 694, 3, -1},  {3036, 695, 3, -1},  {3036, 838, 3, -1},  {3037, 692, 1, -1},
    {3037, 710, 1, -1}, {3038, 666, 2, -1},  {3039, 667, 2, -1},  {3040, 668, 2, -1},  {3041, 665, 2, -1},
    {3042, 680, 3, -1}, {3043, 679, 1, -1},  {412, 1049, 1, -1},  {413, 1050, 1, -1},  {414, 1051, 1, -1},
    {415, 1052, 1, -1}, {3051, 697, 2, -1},  {3052, 764, 2, -1},  {3044, 704, 2, 708}, {3045, 709, 1, -1},
    {3046, 839, 1, -1}, {3047, 840, 1, -1},  {3048, 724, 2, 730}, {3049, 731, 1, -1},  {3050, 732, 1, -1},
};

}  // namespace

std::span<const translation_row> common_translations_first() { return first_list; }
std::span<const translation_row> common_translations_second() { return second_list; }
std::span<const translation_row> common_translations_third() { return third_list; }

void register_translations(std::span<const translation_row> rows, int& status)
{
    status = 0;
    for (const translation_row& row : rows) {
        nu_trns_add(row.message, row.parameter, row.kind, row.second_message, status);
        if (status != 0) return;
    }
}

void nc_trns_register2(int& status)
{
    register_translations(first_list, status);
    if (status != 0) return;
    add_param_translations(status);
}

void add_param_translations(int& status) { register_translations(second_list, status); }

void nc_trns_register(int& status) { register_translations(third_list, status); }
