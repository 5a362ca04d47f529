// Segment 25 and the geometry entity of a procedure block, written by the procedure type's
// callbacks.
#include "toolpath/proc_callback_segments.hpp"

#include "host/vantu_messages.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/tp_words.hpp"

namespace {
constexpr int kFailed = -1;
constexpr int kOwnParametersSegment = 25;
}  // namespace

void wlcprm(int procedure_type, put_parameters_callback put_parameters, int& status)
{
    int counter = 0;
    tp_segment_begin(kWhereListNumbered, kOwnParametersSegment, counter, status);
    if (status >= 0 && !put_parameters) status = kFailed;
    if (status >= 0) {
        int type = procedure_type, where = kWhereListNumbered;
        put_parameters(type, where, counter, status);
    }
    const int written = status;
    if (written < 0) erou1c("[wlcprm - ]ERROR IN INSERT DATA FOR SEGMENT WITH CODE", procedure_type);
    // The length word covers what was counted, also after a failure: the block stays walkable
    // until the writer deletes it.
    int patched = 0;
    tp_segment_end(kWhereListNumbered, counter, patched);
    status = written < 0 ? written : patched;
}

void wgeom(int procedure_type, put_geometry_callback put_geometry, int& status)
{
    status = 0;
    if (!put_geometry) {
        status = kFailed;
    } else {
        int type = procedure_type, where = kWhereEntity, counter = 0;
        put_geometry(type, where, counter, status);
    }
    if (status < 0) erou1c("[wgeom - ]ERROR IN INSERT DATA FOR SEGMENT WITH CODE", procedure_type);
}
