// The pass store of the surface pass engine (storps), least version until the surface editing
// builds the store and its clean-up detection: every call is recorded, and the status each call
// answers can be set.
#pragma once

#include <vector>

// One recorded call: its words and copies of its points and normals (three floats a point).
struct storps_call {
    float tolerance;
    int set_number;
    int pass_count;
    std::vector<int> pass_point_counts;
    int point_count;
    int link_flag;
    std::vector<float> points;
    std::vector<float> normals;
};

struct storps_least_state {
    std::vector<storps_call> calls;
    int answer = 0;  // the status every call answers
};
extern storps_least_state storps_least;

// Keeps the points of one call (point_count points, in pass_count passes of pass_point_counts
// points each) of the pass set set_number. Status: the answer set in storps_least.
void storps(float tolerance, int set_number, const float* points, const float* normals, int pass_count,
            const int* pass_point_counts, int point_count, int link_flag, int& status);
