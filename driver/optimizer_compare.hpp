// The comparison of the optimizer block with its previous copy, which tells the change analysis
// whether the optimization alone must be recalculated, the procedure recomputed or only its block
// updated.
#pragma once

#include "nc_services/optimizer_params.hpp"

// Outcomes of opt_params_compare.
inline constexpr int kCompareNoChange = 0, kCompareRecalculate = 3, kCompareRecompute = 4, kCompareUpdate = 5;

// Compares the current block (N) with `previous` (O). result: 0, 3, 4 or 5. May clear N's item
// 81 (pending optimizer action). Reads the plane-dialog kind word.
void opt_params_compare(const optimizer_params& previous, int& result);
