// The names of the marker pairs.
#include "toolpath/marker_listing.hpp"

#include <array>
#include <string_view>

namespace {

constexpr int kLastMarkerCode = 66;

// The names of the marker pairs 1/2, 3/4, ... 65/66, in pair order.
constexpr std::array<std::string_view, kLastMarkerCode / 2> kPairNames{
    "COMPLEX",
    "LAYER",
    "PASS",
    "CURVE",
    "APPROACH",
    "RETRACT",
    "DRILL_CYCLE",
    "CONNECTION",
    "PUNCH_PROFIL",
    "STRING",
    "PUNCH_CIRCLES",
    "PUNCH_POINTS",
    "ROUGH",
    "FINISH",
    "LDRILL",
    "CONTOUR",
    "PATH BY X",
    "PATH BY Y",
    "PATH BY RADIUS",
    "PATH BY ANGLE",
    "LINEAR REPETITION",
    "ANGULAR REPETITION",
    "THREAD CYCLE",
    "ROUGH PASSES",
    "FINISH PASSES",
    "SPRING PASSES",
    "THREAD",
    "GROOVE ROUGH CYCLES",
    "GROOVE FINISH CYCLES",
    "REGION  ",
    "RETRACT",
    "HORZ ON SRF",
    "VERT CONST Z",
};

}  // namespace

bool marker_name(int code, std::string& name)
{
    if (code < 1 || code > kLastMarkerCode) return false;
    name = kPairNames[static_cast<std::size_t>((code - 1) / 2)];
    return true;
}
