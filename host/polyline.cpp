// Composite polyline entities: made from a run of 3-D points on top of the entity store, so
// that they are saved, loaded and reset with the part's other entities.
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_polyline.hpp"

#include <string>

namespace {

// Keeps the caller's open entity (and its cursor) across a polyline operation.
struct keep_open_entity {
    int id = 0, position = 0;
    keep_open_entity() { eopen_block_get(id, position); }
    ~keep_open_entity()
    {
        int ignored = 0;
        eclose(ignored);
        eopen_block_set(id, position, ignored);
    }
};

void write_polyline(int n, const double* points, int& id, int& status)
{
    keep_open_entity keep;
    estore(kCurveClass, kPolylineType, id, status);
    if (status != 0) {
        id = 0;
        return;
    }
    eputi(1, &n, status);
    if (status == 0) eputd(3 * n, points, status);
    if (status != 0) {
        int ignored = 0;
        edelet(id, ignored);
        id = 0;
    }
}

}  // namespace

void crcmpl(int n, const double* points, int& id, int& status)
{
    status = 0;
    id = 0;
    if (auto fault = vantu::fault_hit("crcmpl")) {
        status = *fault;
    } else if (points == nullptr || n < kPolylineMinPoints || n > kPolylineMaxPoints) {
        status = -1;
    } else {
        write_polyline(n, points, id, status);
    }
    vantu::trace_call("crcmpl", std::to_string(n), status);
}

void crcmpl_points(int id, int room, int& n, double* points, int& status)
{
    n = 0;
    keep_open_entity keep;
    int entity_class = 0, entity_type = 0;
    eopen(id, entity_class, entity_type, status);
    if (status != 0) return;
    if (entity_class != kCurveClass || entity_type != kPolylineType) {
        status = -1;
        return;
    }
    int stored = 0;
    egeti(1, &stored, status);
    if (status != 0) return;
    if (stored < 0 || stored > kPolylineMaxPoints || points == nullptr || room < 0) {
        status = -1;
        return;
    }
    const int read = stored < room ? stored : room;
    egetd(3 * read, points, status);
    if (status == 0) n = stored;
}
