// Access to a surface buffer, least version over the parametric surfaces of the part file: the
// buffer of one of the procedure's part surfaces, its parameter-range record, its entity id and
// the surface's two flag words (2: that parameter direction is not range-checked). The surface
// strings of area clearing and their surface evaluation read a surface through these.
#pragma once

#include "host/vantu_surface_eval.hpp"

struct surface_buffer {
    word words[kSurfaceBufferWords] = {};
};

inline constexpr int kSrfbufRangeRecord = 1;  // srfbuf_access_real mode: the parameter ranges
inline constexpr int kSrfFlagsGet = 1;
inline constexpr int kSrfFlagNoRangeCheck = 2;

// Loads into buffer the index-th (from 0) surface of the procedure's part-surface buffer. Status 0;
// -1 when the procedure has no such surface or it is no parametric surface (buffer untouched).
void surface_buffer_of_procedure(int index, surface_buffer& buffer, int& status);

// Mode 1: the range record of six reals (u start, u extent, 0, v start, v extent, 0). Status 0;
// -1 for another mode or a buffer not in the expected form (record untouched).
void srfbuf_access_real(int mode, const surface_buffer& buffer, float* record, int& status);

// The entity id of the buffer's surface and its 16-bit type word (0 and 0 for a bad buffer).
void srfbuf_get_id(const surface_buffer& buffer, int& id, int& type_word);

// Mode 1 (get): the two flag words of surface entity id. Status 0; negative when the entity cannot
// be opened or the mode is not 1 (words untouched).
void srf_flags_access(int mode, int id, int& first, int& second, int& status);
