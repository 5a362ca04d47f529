// Where the procedure's contour descriptors lie in the host's descriptor table: descriptors one
// after the other from position 1, each as long as the host says (dfdgld), within the table's
// items; the extra contour's descriptor at a position of its own. Least version: the pocket's
// contour table replaces this file, keeping these names.
#pragma once

struct contour_descriptor_table {
    int items = 0;   // table items in use, from position 1
    int extra = 0;   // position of the extra contour's descriptor; 0 none
};

contour_descriptor_table& contour_descriptors();
