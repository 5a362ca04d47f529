// The hatch clearing's entries of lower folders' seam tables (see the header).
#include "clearing/seam_fills.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/hatch_clearing.hpp"

void fill_hatch_clearing_steps(pocket_engine_steps& steps)
{
    steps.tkpolg = tkpolg;
    steps.clear_passes_out = clear_passes_out;
    steps.clrcls = clrcls;
}

namespace {
[[maybe_unused]] const bool filled_at_load = (fill_hatch_clearing_steps(pocket_engine()), true);
}  // namespace
