// Two small values kept in the part's module data: "CGP1" (one double, default 0.1) and "MXF1"
// (one real, default -15000.0). Mode 1 answers the stored value (the default when none is
// stored), mode 2 stores the given one; other modes do nothing.
#pragma once

inline constexpr double kDefaultCgp1 = 0.1;
inline constexpr float kDefaultMxf1 = -15000.0f;

void gs_cgp1(int mode, double& value);
void gs_mxf1(int mode, float& value);
