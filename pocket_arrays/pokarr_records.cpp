// Exchange of pocket arrays with plain record lists (x, y or x, y, z records, and normal records
// in a second list). The reversal of record lists and the lane store read and write through these.
#include "pocket_arrays/pokarr_convert.hpp"

#include "host/vantu_messages.hpp"

static int record_width(int mode) { return mode == 2 ? 2 : 3; }

static bool records_accepted(int mode, const void* records, int count, const pokarr& array, const char* message)
{
    const bool ok = (mode >= 2 && mode <= 4) && count >= 0 && (records != nullptr || count == 0) &&
                    array.dimension >= 2 && array.dimension <= 4;
    if (!ok) eroutc(message, 0);
    return ok;
}

void pokarr_from_records(int mode, const double* records, const double* normals, int count, pokarr& array, int& status)
{
    if (!records_accepted(mode, records, count, array, "[pokarr_from_records] ILLEGAL RECORDS")) {
        status = -1;
        return;
    }
    pokarr_reset(array, count, status);
    if (status != 0) return;
    const int w = record_width(mode);
    for (int i = 0; i < count; ++i) {
        const double* r = records + static_cast<long>(w) * i;
        array.x[i] = r[0];
        array.y[i] = r[1];
        if (array.z != nullptr) array.z[i] = w == 3 ? r[2] : 0.0;
        if (array.n != nullptr) {
            const double* normal = mode == 4 && normals != nullptr ? normals + 3L * i : kDefaultNormal;
            for (int k = 0; k < 3; ++k) array.n[3L * i + k] = normal[k];
        }
    }
    array.count = count;
}

void pokarr_to_records(int mode, double* records, double* normals, int capacity, int& count_out, const pokarr& array,
                       int& status)
{
    status = 0;
    if (!records_accepted(mode, records, array.count, array, "[pokarr_to_records] ILLEGAL RECORDS") ||
        array.count > capacity || (mode == 4 && normals == nullptr && array.count > 0)) {
        status = -1;
        return;
    }
    const int w = record_width(mode);
    for (int i = 0; i < array.count; ++i) {
        double* r = records + static_cast<long>(w) * i;
        for (int k = 0; k < w; ++k) r[k] = pokarr_coordinate(array, i, k);
        if (mode == 4) {
            const double* normal = pokarr_normal(array, i);
            for (int k = 0; k < 3; ++k) normals[3L * i + k] = normal[k];
        }
    }
    count_out = array.count;
}
