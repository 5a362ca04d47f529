// Words of the pocket procedure kept between the driver's calls of its callbacks: the
// store-geometry flag that define sets and put geometry and the contour records read, the outer
// contour of the region being prepared, the contour check word of the area cleaning and its
// debug switch.
// The contours-valid flag lives with the contour table (contour_table_block.contours_valid).
#pragma once

struct pocket_words {
    int store_geometry = 0;     // 1: put geometry writes the contour geometry record
    int outer_contour = 0;      // gathered contour id of the outer contour of the region being prepared
    int contour_check = 1;      // the contour check flag, 1 from load on (get_contour_check_flag)
    int show_clean_region = 0;  // debug switch: draw the polygons of the region to clean
};
extern pocket_words pocket_words_block;
