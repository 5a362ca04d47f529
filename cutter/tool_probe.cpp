// The tool probes against the part surfaces, least version (see the header).
#include "cutter/tool_probe.hpp"

void tool_project_point(const float* /*from*/, const float* /*to*/, float* /*contact*/, float* /*normal*/,
                        int& status)
{
    status = kProjectFree;
}

void tool_point_touch_test_dbl(const double* /*point*/, int& contact_flag, int& status)
{
    contact_flag = 0;
    status = 0;
}

void tool_contact_point_dbl(const double* /*point*/, const double* /*towards*/, double /*height*/,
                            double* /*contact*/, double* /*normal*/, int& status)
{
    status = kContactNone;
}

int srf_state_access(int /*mode*/, int /*surface*/, int& /*value*/, int /*hint*/) { return -1; }

tool_probe_seams default_tool_probe_seams()
{
    return {tool_project_point, tool_point_touch_test_dbl, tool_contact_point_dbl};
}

tool_probe_seams& tool_probe_table()
{
    static tool_probe_seams table = default_tool_probe_seams();
    return table;
}
