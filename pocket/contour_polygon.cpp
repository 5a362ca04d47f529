// The polygon of a stored contour record in room that grows until it fits.
#include "pocket/contour_polygon.hpp"

#include "host/vantu.hpp"

#include <algorithm>

namespace {

// The host answers this count when the room is too small for the polygon.
constexpr int kRoomTooSmall = -2;
// First room in points: the contour buffers' entries, enough for most contours at once.
constexpr int kFirstRoom = 4500;
// The room stops doubling here (2^26 points, half a gigabyte of floats): a contour whose polygon
// needs more could not have been made by the host either.
constexpr int kMostRoom = 1 << 26;

}  // namespace

int contour_polygon(const int* entry, float tolerance, std::vector<float>& points)
{
    int room = std::max(kFirstRoom, static_cast<int>(points.size() / 2));
    for (;;) {
        points.resize(2 * static_cast<std::size_t>(room));
        int count = 0;
        dfcpol(entry, 1, tolerance, room, points.data(), count);
        if (count != kRoomTooSmall) return std::max(count, 0);
        if (room >= kMostRoom) return 0;
        room = std::min(2 * room, kMostRoom);
    }
}
