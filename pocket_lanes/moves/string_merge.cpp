// Merging of two sets of point strings (see the header).
#include "pocket_lanes/moves/string_merge.hpp"

#include "host/vantu.hpp"
#include "nc_services/tool_position.hpp"

#include <array>
#include <string>
#include <vector>

namespace {

constexpr int kRealsPerPoint = 3;

// One point with what travels with it.
struct string_point {
    float p[3];
    float n[3];
    int word;
};
using point_string = std::vector<string_point>;

int total_points(const point_string_set& s)
{
    int total = 0;
    for (int k = 0; k < s.string_count; ++k) total += s.counts[k] > 0 ? s.counts[k] : 0;
    return total;
}

std::vector<point_string> strings_of(const point_string_set& s)
{
    std::vector<point_string> out;
    long at = 0;
    for (int k = 0; k < s.string_count; ++k) {
        point_string one;
        for (int i = 0; i < s.counts[k]; ++i, ++at) {
            string_point q{};
            for (int c = 0; c < 3; ++c) {
                q.p[c] = s.points[kRealsPerPoint * at + c];
                q.n[c] = s.normals != nullptr ? s.normals[kRealsPerPoint * at + c] : 0.0f;
            }
            q.word = s.words != nullptr ? s.words[at] : 0;
            one.push_back(q);
        }
        out.push_back(one);
    }
    return out;
}

void write_back(const std::vector<point_string>& strings, int data_kind, point_string_set& s)
{
    long at = 0;
    s.string_count = static_cast<int>(strings.size());
    for (std::size_t k = 0; k < strings.size(); ++k) {
        s.counts[k] = static_cast<int>(strings[k].size());
        for (const string_point& q : strings[k]) {
            for (int c = 0; c < 3; ++c) {
                s.points[kRealsPerPoint * at + c] = q.p[c];
                if (data_kind == kMergeNormals || data_kind == kMergeNormalsAndWords) {
                    if (s.normals != nullptr) s.normals[kRealsPerPoint * at + c] = q.n[c];
                }
            }
            if (data_kind == kMergeNormalsAndWords && s.words != nullptr) s.words[at] = q.word;
            ++at;
        }
    }
}

bool same_point(const string_point& a, const float* b) { return eqpt3(a.p, b) != 0; }

void refuse(const std::string& text, int& status)
{
    eroutc(text.c_str(), 0);
    status = -1;
}

}  // namespace

void MRGGST(int join_mode, int data_kind, point_string_set& first, point_string_set& second, int& status)
{
    status = 0;
    const int n1 = total_points(first), n2 = total_points(second);
    if (n2 == 0) return;
    if (first.string_count + second.string_count > first.string_capacity)
        return refuse("MRGGST - ONLY " + std::to_string(first.string_capacity) + " NUMBER OF STRINGS ARE AVAILABLE",
                      status);
    // The counts are compared as reals with the capacities, which are given in reals.
    if (kRealsPerPoint * (static_cast<long>(n1) + n2) > first.point_capacity)
        return refuse("MRGGST - MAXIMUM NUMBER OF POINTS  IN A STRING :" +
                          std::to_string(first.point_capacity / kRealsPerPoint),
                      status);
    if (kRealsPerPoint * static_cast<long>(n2) > second.point_capacity)
        return refuse("MRGGST - MAXIMUM NUMBER OF POINTS  IN SECOND STRING:" +
                          std::to_string(second.point_capacity / kRealsPerPoint),
                      status);
    std::vector<point_string> a = strings_of(first), b = strings_of(second);
    point_string front;  // points joined to the front of the first set's first string
    if (join_mode == kMergeJoinAtTool && !a.empty() && !a.front().empty()) {
        const std::array<float, 3> tool = DSP8().position();
        const float* start = a.front().front().p;
        const bool s = same_point(b.front().front(), tool.data());
        const bool e = same_point(b.back().back(), start);
        if (b.size() == 1 && s && e && b.front().size() == 2) return;
        if (b.size() == 1 && e && b.front().size() > 2) {
            front.assign(b.front().begin() + (s ? 1 : 0), b.front().end() - 1);
            b.clear();
        } else {
            if (s && b.front().size() > 1) b.front().erase(b.front().begin());
            if (e) {
                point_string& last = b.back();
                front.assign(last.begin(), last.end() - 1);
                b.pop_back();
            }
        }
    }
    if (!front.empty()) a.front().insert(a.front().begin(), front.begin(), front.end());
    std::vector<point_string> merged;
    for (point_string& one : b)
        if (!one.empty()) merged.push_back(one);
    merged.insert(merged.end(), a.begin(), a.end());
    write_back(merged, data_kind, first);
    second.string_count = 0;
}

void insert_front_gap(int* array, int capacity, int count, int n, int& status)
{
    status = 0;
    if (n < 0 || count < 0 || static_cast<long>(count) + n > capacity) {
        status = -1;
        return;
    }
    for (int i = count - 1; i >= 0; --i) array[i + n] = array[i];
}
