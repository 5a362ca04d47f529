// Control calls of the host's contour services (host/vantu_contours.hpp): the loops of solids
// and the geometry criteria a test or a part gives the host. Both persist in the part file:
//   "solid_loops": [{"loop": 900, "second": 1, "set": 5, "edges": [31, 32, 33]}]
//   "criteria": {"active": 1, "changed": 0, "checked": 0, "list_count": 1, "found": [4, 6],
//                "types": [{"type": 0, "active": 1, "changed": 0, "masks": [[0, 0, 17, 9, 9, 0, 0, 1]]}]}
// A planar face is an entity of class kPlanarFaceClass (a "words" entity in the part file:
// the loop count, then the curve set of every loop).
#pragma once

#include <array>
#include <vector>

namespace vantu::control {

struct solid_loop_data {
    int loop = 0;            // the loop id (the first identifier of a loop record)
    int second = 1;          // its second identifier; a solid update changes it
    int set = 0;             // the curve set its edges explode into
    std::vector<int> edges;  // the edge entities a user can pick
};
// Defines (or replaces) a loop; a test changes `second` to play a solid update.
void define_solid_loop(const solid_loop_data& loop);

struct criteria_data {
    int active = 0;          // a geometry mask of contours is active
    int changed = 0;         // its criteria changed since the contours were found
    int checked = 0;         // the criteria are marked as checked
    int list_count = 0;      // entries of the mask list
    std::vector<int> found;  // curve sets of the contours the mask selects
    // Geometry types 0 to 4 (part and check surfaces, closed and open contours, drill points):
    // the mask records of each (8 words), and the active and changed flags of the types other
    // than 2, whose flags are the two above.
    std::array<std::vector<std::array<int, 8>>, 5> masks{};
    std::array<int, 5> type_active{}, type_changed{};
};
void define_criteria(const criteria_data& criteria);
const criteria_data& criteria();

// A planar face entity whose loops are the curve sets given (outer loop first); its id.
int add_planar_face(const std::vector<int>& loop_sets);

}  // namespace vantu::control
