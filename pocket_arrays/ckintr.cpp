// Entry of a crossing into the crossing table of the loop removal. A crossing met for the second
// time on the same pair and point closes a loop of the walk (status 1); the table takes at most
// kCkintrMax records and a full table is left unchanged.
#include "host/vantu.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <algorithm>
#include <cstdlib>

void ckintr(int& count, int* hits, int* ingo, int* ingo1, double* side1, double* side2, double* xing, double* ying,
            double* zing, double* z2ing, int i, int j, double x, double y, double z, double z2, int side_i, int side_j,
            const double* start, int& flag, int& status)
{
    status = kCkintrEntered;
    if (hits == nullptr || ingo == nullptr || ingo1 == nullptr || side1 == nullptr || side2 == nullptr ||
        xing == nullptr || ying == nullptr || zing == nullptr || z2ing == nullptr || start == nullptr || count < 0) {
        status = kCkintrFull;
        return;
    }
    const int lo = std::min(i, j), hi = std::max(i, j);
    const double point[3] = {x, y, z};
    const int records = std::min(count, kCkintrMax);
    for (int k = 0; k < records; ++k) {
        const int a = std::abs(ingo[k]), b = std::abs(ingo1[k]);
        if (std::min(a, b) != lo || std::max(a, b) != hi) continue;
        const double stored[3] = {xing[k], ying[k], zing[k]};
        if (!pk_eq_pnt(stored, point)) continue;
        ++hits[k];
        const bool first_hit = hits[k] == 1;
        if (flag == 0 && ingo[k] > 0 && first_hit) {
            flag = 1;
            break;  // entered as a new record below
        }
        if (flag == 1 && ingo[k] < 0 && first_hit) flag = 0;
        ingo[k] = -std::abs(ingo[k]);
        const int stored_first = std::abs(ingo[k]), stored_second = std::abs(ingo1[k]);
        if ((stored_first < stored_second && i < j) || (stored_first > stored_second && i > j)) flag = 0;
        if (ingo1[k] < 0 && flag == 1 && (!first_hit || !pk_eq_pnt(point, start))) {
            if (IsNcDebug()) eroutc("[ckintr] INTERSECTION POINT ALREADY ENCOUNTERED", 0);
            status = kCkintrMetAgain;
        }
        ingo1[k] = -std::abs(ingo1[k]);
        return;
    }
    if (count >= kCkintrMax) {
        if (IsNcDebug()) eroutc("[ckintr] TOO MANY INTERSECTION POINTS", 0);
        status = kCkintrFull;
        return;
    }
    const int k = count++;
    hits[k] = 0;
    ingo[k] = flag == 0 ? -i : i;
    ingo1[k] = -j;
    side1[k] = side_i;
    side2[k] = side_j;
    xing[k] = x;
    ying[k] = y;
    zing[k] = z;
    z2ing[k] = z2;
}
