// Tests on the procedure type.
#include "nc_services/proc_type_tests.hpp"

#include <algorithm>
#include <iterator>

namespace {
constexpr int kGroupA[] = {10, 11, 12, 19, 20, 26, 39, 40, 41, 42};
}  // namespace

int proc_type_group_a(int procedure_type)
{
    return std::find(std::begin(kGroupA), std::end(kGroupA), procedure_type) != std::end(kGroupA) ? 1 : 0;
}

int is_proc_type_55(int procedure_type) { return procedure_type == 55 ? 1 : 0; }
