// The read transformation on TRS1 (see the header).
#include "toolpath/read_transform.hpp"

#include "nc_services/nc_state_blocks.hpp"

read_transformation current_read_transformation()
{
    const tp_transform_state& t = TRS1();
    read_transformation r;
    if (t.at(tp_transform_state::kActive) != 1) return r;
    for (int i = 0; i < 9; ++i) r.matrix[static_cast<std::size_t>(i)] = t.real(tp_transform_state::kMatrix + i);
    for (int i = 0; i < 3; ++i)
        r.translation[static_cast<std::size_t>(i)] = t.real(tp_transform_state::kTranslation + i);
    return r;
}

void read_transformation_set(const float* matrix, const float* translation)
{
    tp_transform_state& t = TRS1();
    t.at(tp_transform_state::kActive) = 1;
    for (int i = 0; i < 9; ++i) t.set_real(tp_transform_state::kMatrix + i, matrix[i]);
    for (int i = 0; i < 3; ++i) t.set_real(tp_transform_state::kTranslation + i, translation[i]);
}

void read_transformation_clear()
{
    const read_transformation identity;
    read_transformation_set(identity.matrix.data(), identity.translation.data());
    TRS1().at(tp_transform_state::kActive) = 0;
}
