// The engine step table of the pocket execution.
#include "pocket/engine_steps.hpp"

pocket_engine_steps& pocket_engine()
{
    static pocket_engine_steps steps;
    return steps;
}
