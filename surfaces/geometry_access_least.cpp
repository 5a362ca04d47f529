// Planar faces, point and arc entities, the surface box and the batch-aware question (least
// version, see the header).
#include "surfaces/geometry_access_least.hpp"

#include "host/vantu.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kBoxPoints = 7000;
// Chord tolerance of the curves sampled for the box.
constexpr double kBoxChord = 1.0e-3;

// Reads n doubles of an entity's word run from its start, giving back the entity open before.
bool read_doubles(int entity, int n, double* values)
{
    int state = 0, status = 0, entity_class = 0, type = 0;
    eginfo(state);
    if (state == 2) return false;
    eopen(entity, entity_class, type, status);
    if (status == 0) egetd(n, values, status);
    int closed = 0;
    eclose(closed);
    if (state == 1) esinfo(closed);
    return status == 0;
}

}  // namespace

void PLFGNG(int face, int& loops, int& status)
{
    int entity_class = -1, type = -1;
    loops = 0;
    egclty(face, entity_class, type, status);
    const char* failure = nullptr;
    if (status != 0)
        failure = "PLFGNG: ERROR IN OPEN ENTITY !";
    else if (entity_class != kPlanarFaceClass)
        failure = "PLFGNG: WRONG CLASS !";
    else if (type != kPlanarFaceType)
        failure = "PLFGNG: WRONG TYPE !";
    if (failure == nullptr) {
        int state = 0, closed = 0;
        eginfo(state);
        eopen(face, entity_class, type, status);
        if (status == 0) egeti(1, &loops, status);
        eclose(closed);
        if (state == 1) esinfo(closed);
        if (status != 0 || loops < 1) failure = "PLFGNG: ERROR IN OPEN ENTITY !";
    }
    status = 0;
    if (failure != nullptr) {
        eroutc(failure, 0);
        loops = 0;
        status = kFailed;
    }
}

void DBDPT(int mode, int entity, float* point, int& status)
{
    int entity_class = -1, type = -1;
    egclty(entity, entity_class, type, status);
    double p[3];
    status = mode == 1 && status == 0 && entity_class == kPointClass && read_doubles(entity, 3, p) ? 0 : kFailed;
    if (status == 0)
        for (int i = 0; i < 3; ++i) point[i] = static_cast<float>(p[i]);
}

void OBTARC(int entity, float* results, int& status)
{
    int entity_class = -1, type = -1;
    egclty(entity, entity_class, type, status);
    double arc[7];
    status =
        status == 0 && entity_class == kCurveClass && type == kArcType && read_doubles(entity, 7, arc) ? 0 : kFailed;
    if (status == 0) {
        for (int i = 0; i < 3; ++i) results[i] = static_cast<float>(arc[i]);
        results[3] = static_cast<float>(arc[6]);
    }
}

void SURFSBOX(const int* surfaces, int count, float* box, int& status)
{
    bool found = false;
    std::vector<double> points(3 * kBoxPoints);
    for (int i = 0; surfaces != nullptr && i < count; ++i) {
        double t0 = 0.0, t1 = 0.0;
        int n = 0;
        curve_limits(surfaces[i], t0, t1, status);
        if (status == 0) crvpld2(surfaces[i], t0, t1, kBoxChord, 3, kBoxPoints, points.data(), n, status);
        for (int k = 0; status == 0 && k < n; ++k) {
            for (int c = 0; c < 3; ++c) {
                const float v = static_cast<float>(points[3 * k + c]);
                box[c] = found ? std::min(box[c], v) : v;
                box[c + 3] = found ? std::max(box[c + 3], v) : v;
            }
            found = true;
        }
    }
    status = found ? 0 : kFailed;
}

void ask_unless_batch(std::string_view question, int default_answer, int& answer)
{
    if (batch_flag_get() != 0) {
        answer = default_answer;
        return;
    }
    irepyc(question, answer);
}
