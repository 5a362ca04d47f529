// The descriptor table of the procedure's contours (least version, see the header).
#include "pocket/contour_descriptors_least.hpp"

namespace {
contour_descriptor_table g_table;
}  // namespace

contour_descriptor_table& contour_descriptors() { return g_table; }
