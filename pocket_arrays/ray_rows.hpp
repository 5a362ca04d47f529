// Boxes sorted into horizontal rows for rays towards +x: the boxes a ray from a point may meet,
// without a look at every box of the list. The point-in-loop test keeps one over the elements of
// a loop it is asked about again and again, so that each point meets only the elements beside
// its ray.
#pragma once

#include <algorithm>
#include <array>
#include <vector>

struct ray_rows {
    double y0 = 0.0, y1 = 0.0;  // lower side of the first row, upper side of the last
    double height = 1.0;        // height of a row
    int rows = 0;
    std::vector<std::array<double, 4>> boxes;  // x min, y min, x max, y max of each box
    std::vector<int> first;                    // per row, where its boxes start in `items` (one more)
    std::vector<int> items;                    // box numbers, row after row, by falling x max within a row
    std::vector<int> aside;                    // boxes spanning too many rows, or not finite: met by every ray
};

// Sorts the boxes (filled by the caller, inverted boxes meet nothing) into rows.
void ray_rows_build(ray_rows& index);

// Hands visit(k) every box k whose y range holds py and whose x max is not below px (the boxes
// a ray from (px, py) towards +x may meet), and maybe a few of the boxes put aside; stops when
// visit answers false, and then answers false.
template <class Visit> bool ray_rows_visit(const ray_rows& index, double px, double py, Visit&& visit)
{
    for (const int k : index.aside)
        if (!visit(k)) return false;
    if (index.rows < 1 || !(py >= index.y0 && py <= index.y1)) return true;
    const int row = std::min(static_cast<int>((py - index.y0) / index.height), index.rows - 1);
    for (int i = index.first[row]; i < index.first[row + 1]; ++i) {
        const int k = index.items[i];
        const std::array<double, 4>& b = index.boxes[k];
        if (b[2] < px) break;
        if (py >= b[1] && py <= b[3] && !visit(k)) return false;
    }
    return true;
}
