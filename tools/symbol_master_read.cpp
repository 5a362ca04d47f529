// Placement data of symbol masters: the head of a master's own record (GIMASH), the frame of any
// master kind including those that refer to another part file or to a view (GTMSTR), and the
// master's names for the tool dialog.
#include "tools/master_names.hpp"
#include "tools/symbol_masters.hpp"

#include "host/vantu.hpp"
#include "host/vantu_masters.hpp"

#include <algorithm>

namespace {

constexpr float kUnit[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

void unit_frame(float (&point)[3], float (&matrix)[9])
{
    std::copy(std::begin(kUnit), std::end(kUnit), matrix);
    std::fill(std::begin(point), std::end(point), 0.0f);
}

// The frame of a master that the host resolves (reference or view master).
void resolved_frame(int master_id, int master_type, float (&point)[3], float (&matrix)[9], int& resolved_id,
                    int& status)
{
    int resolved = 0, head = 0, slaves = 0, extra = 0;
    setnpf(master_id, resolved, status);
    if (status != 0 || resolved < 0) {
        status = -1;
        return;
    }
    if (resolved == 0) {
        unit_frame(point, matrix);
        return;
    }
    resolved_id = resolved;
    if (master_type == kViewMaster)
        viewtr(resolved, matrix, point, status);
    else
        GIMASH(resolved, head, matrix, point, slaves, extra, status);
}

}  // namespace

bool is_class14_type149(int entity_class, int entity_type)
{
    return entity_class == kMasterClass &&
           (entity_type == kLocalMaster || entity_type == kLocalMaster4 || entity_type == kGroupedMaster);
}

void GIMASH(int master_id, int& head, float (&matrix)[9], float (&point)[3], int& slave_count, int& extra, int& status)
{
    int entity_class = 0, entity_type = 0, close_status = 0;
    eopen(master_id, entity_class, entity_type, status);
    if (status != 0) {
        eroutc("GIMASH - CAN NOT OPEN ENTITY", 0);
        status = -1;
        return;
    }
    if (!is_class14_type149(entity_class, entity_type)) {
        eclose(close_status);
        eroutc("GIMASH - INVALID CLASS OR TYPE", 0);
        status = -1;
        return;
    }
    int read_head = 0, count = 0, read_extra = 0;
    float read_matrix[9], read_point[3];
    egeti(1, &read_head, status);
    if (status == 0) egetr(9, read_matrix, status);
    if (status == 0) egetr(3, read_point, status);
    if (status == 0) egeti(1, &count, status);
    if (status == 0 && entity_type == kLocalMaster4) {
        if (count < 0) status = -1;
        if (status == 0) eskipi(count, status);
        if (status == 0) egeti(1, &read_extra, status);
    }
    eclose(close_status);
    if (status != 0) {
        eroutc("GIMASH - CAN NOT OPEN ENTITY", 0);
        status = -1;
        return;
    }
    head = read_head;
    std::copy(std::begin(read_matrix), std::end(read_matrix), matrix);
    std::copy(std::begin(read_point), std::end(read_point), point);
    slave_count = count;
    if (entity_type == kLocalMaster4) extra = read_extra;
}

void GTMSTR(int master_id, float (&point)[3], float (&matrix)[9], int& resolved_id, int& status)
{
    int saved = 0, restored = 0, entity_class = 0, entity_type = 0, head = 0, slaves = 0, extra = 0;
    svcrpr(saved);
    egclty(master_id, entity_class, entity_type, status);
    if (status != 0 || entity_class != kMasterClass)
        status = -1;
    else if (is_class14_type149(entity_class, entity_type))
        GIMASH(master_id, head, matrix, point, slaves, extra, status);
    else if (entity_type == kReferenceMaster || entity_type == kPatternMaster || entity_type == kViewMaster)
        resolved_frame(master_id, entity_type, point, matrix, resolved_id, status);
    else
        status = -1;
    if (saved == 0) rtcrpr(restored);
    if (status != 0) {
        eroutc("GTMSTR - ILLEGAL MASTER ENTITY", 0);
        status = -1;
    }
}

void symbol_master_name(int master_id, int& kind, std::string& file_name, std::string& name, int& status)
{
    int table_id = 0, file_length = 0, name_length = 0;
    seq_db_id(kNameTableClass, kOwnNameTable, table_id, status);
    if (status != 0) {
        status = 1;
        return;
    }
    MSNAME(table_id, master_id, kind, kPartFileLength, file_name, file_length, kMasterNameLength, name, name_length,
           status);
}
