// Element boxes of a loop gathered in runs, made once for a loop that many others are tried
// against (lancom's branch lane against every island): a loop whose elements keep clear of every
// element box by a margin far above the crossing search's tolerances can neither cross nor touch
// it, so the search would find nothing. Lines are boxed by their ends, arcs by their whole circle.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <vector>

class loop_clearance {
public:
    // Boxes the loop's elements; a loop holding a number that is not finite is never clear.
    explicit loop_clearance(const pokarr& loop);

    // Whether the box of `other` (of all its elements) keeps farther than the margin from the box
    // of every element of the loop (in x or y); false when unsure.
    bool keeps_clear(const pokarr& other, double margin) const;

private:
    struct box {
        double xmin, ymin, xmax, ymax;
    };
    static bool boxes_of(const pokarr& loop, std::vector<box>& out);
    static bool near(const box& a, const box& b, double margin);
    std::vector<box> elements_;  // element after element
    std::vector<box> runs_;      // the union of each run of run_ elements
    std::size_t run_ = 1;
    bool usable_ = false;
};
