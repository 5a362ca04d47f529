// The lane engine's direction word and debug switches (least version, see the header).
#include "pocket/lane_switches_least.hpp"

lane_switches& lane_engine_switches()
{
    static lane_switches switches;
    return switches;
}
