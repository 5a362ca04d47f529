// Symbol instances: the class-13 entity that shows a master at a position with an orientation
// and a scale (store_c13_entity), and the tool instance of the display built from the master's
// own frame (tool_display_frame).
#include "tools/symbol_masters.hpp"

#include "host/vantu.hpp"
#include "nc_services/tool_position.hpp"

namespace {

// Instance record: master id, 9 reals of the matrix, 3 of the position, the scale.
void write_instance(int master_id, const float (&matrix)[9], const float (&position)[3], float scale, int& status)
{
    eputi(1, &master_id, status);
    if (status == 0) eputr(9, matrix, status);
    if (status == 0) eputr(3, position, status);
    if (status == 0) eputr(1, &scale, status);
}

void attach_new_instance(int instance_id, int master_id)
{
    int status = 0, zero = 0;
    for (const char* key : {"RP", "LF", "PE", "CO"}) eattc(instance_id, 2, key, zero, status);
    int owned = instance_id;
    eattc(master_id, 2, "OW", owned, status);
}

}  // namespace

void store_c13_entity(int& instance_id, int master_id, const float (&matrix)[9], const float (&position)[3],
                      float scale, int type, int& status)
{
    int close_status = 0;
    const bool fresh = instance_id < 1;
    const bool attach = instance_id < 0;
    if (fresh) {
        estore(kInstanceClass, type, instance_id, status);
    } else {
        int entity_class = 0, entity_type = 0;
        eopen(instance_id, entity_class, entity_type, status);
        if (status == 0 && (entity_class != kInstanceClass || entity_type != type)) status = -1;
    }
    if (status == 0) write_instance(master_id, matrix, position, scale, status);
    eclose(close_status);
    if (status != 0) {
        if (fresh && instance_id > 0) edelet(instance_id, close_status);
        if (fresh) instance_id = -1;
        status = -1;
        return;
    }
    if (attach) attach_new_instance(instance_id, master_id);
}

void tool_display_frame(int& instance_id, int master_id, const float (&orientation)[9], const float (&origin)[3],
                        float scale, int& status)
{
    float reference[3], frame[9];
    int resolved = 0;
    GTMSTR(master_id, reference, frame, resolved, status);
    if (status != 0) return;
    float matrix[9] = {};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            for (int k = 0; k < 3; ++k) matrix[row * 3 + column] += orientation[row * 3 + k] * frame[k * 3 + column];
    store_c13_entity(instance_id, master_id, matrix, origin, scale, kSymbolInstanceType, status);
    if (status != 0) return;
    // The origin back in world coordinates: the model map only moves the origin.
    const float zero[3] = {0, 0, 0};
    float shift[3];
    mapw2m(zero, shift);
    tool_position_state& position = DSP8();
    for (int i = 0; i < 3; ++i) {
        position.set_real(tool_position_state::kInstancePoint + i, origin[i] - shift[i]);
        position.set_real(tool_position_state::kInstanceAxis + i, i == 2 ? 1.0f : 0.0f);
    }
    for (int i = 0; i < 9; ++i) position.set_real(tool_position_state::kOrientation + i, orientation[i]);
}
