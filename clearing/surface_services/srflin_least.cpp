// The point strings along one hatch line, least version (see the header).
#include "clearing/surface_services/srflin_least.hpp"

#include "host/vantu_messages.hpp"

#include <algorithm>

srflin_least_state srflin_least;

void srflin(int, int, const float* start, const float* end, float, surface_line_continuation& continuation,
            int capacity, int, float* points, int& string_count, int* string_counts, int& plane_result, int& status)
{
    status = 0;
    plane_result = 0;
    string_count = 1;
    std::fill(string_counts, string_counts + kSrflinMostStrings, 0);
    continuation.continue_flag = 0;
    const std::vector<srflin_string> strings =
        srflin_least.source ? srflin_least.source(start, end) : std::vector<srflin_string>{};
    int used = 0, stored = 0;
    for (const srflin_string& string : strings) {
        const int count = static_cast<int>(std::min(string.points.size(), string.normals.size()) / 3);
        if (count == 0) continue;
        if (stored == kSrflinMostStrings) {
            eroutc("srflin,CAN CREATE UP TO 20 STRINGS ", 0);
            break;
        }
        for (int k = 0; k < count; ++k) {
            if (3 * (used + 1) > capacity) {
                eroutc("NXTSTP,STRING OF POINTS HAS EXCEEDED ITS LIMIT", 0);
                string_counts[stored] = k;
                string_count = stored + 1;
                status = -2;
                return;
            }
            std::copy_n(&string.points[3 * k], 3, points + 3 * used);
            std::copy_n(&string.normals[3 * k], 3, surface_pass.last_normal);
            if (used == 0) std::copy_n(&string.normals[0], 3, surface_pass.first_normal);
            ++used;
        }
        string_counts[stored] = count;
        string_count = ++stored;
    }
    if (stored == 0) status = kSrflinNoTouch;
    std::copy_n(surface_pass.last_normal, 3, continuation.normal);
}
