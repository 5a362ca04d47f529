// The UCS record of a tool path (an entity of class 8, type 1): a real, the origin, the matrix,
// the 8-character name in two integers and one more integer. The UCS load of the block display
// and the UCS name of a procedure read it; mode 1 gets it from the entity store, mode 2 puts it
// there.
#pragma once

#include <array>

struct ucs_record {
    float value = 0.0f;
    std::array<float, 3> origin{};
    std::array<float, 9> matrix{};  // row by row
    std::array<int, 2> name{};      // 8 characters, four to an integer
    int further = 0;
};

// mode 1 reads the record of entity `id`; mode 2 writes it into the entity. The entity open before
// is given back. Status 0; -1 for another mode, an entity of another class or type, a record
// that is too short, or an open entity that cannot be put aside; -5 when no entity has the id.
void rec8_get_put(int mode, int id, ucs_record& record, int& status);
