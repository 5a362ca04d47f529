// The engine step table of the pocket execution.
#include "pocket/engine_steps.hpp"

#include "clearing/hatch/hatch_clearing.hpp"
#include "pocket_lanes/pocket_computation.hpp"
#include "pocket_lanes/pocket_drawing.hpp"

pocket_engine_steps default_pocket_engine_steps()
{
    return {cmtpk_clean, DRAWPK, drawpk_find_start, tkpolg, clear_passes_out, clrcls};
}

pocket_engine_steps& pocket_engine()
{
    static pocket_engine_steps steps = default_pocket_engine_steps();
    return steps;
}
