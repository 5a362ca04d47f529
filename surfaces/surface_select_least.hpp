// nc_surf_select_buf: makes one of the procedure's surface buffers (part, second part, check
// surfaces) current and answers or stores its surface count; mask_new_surfaces: the surfaces a
// geometry mask adds to the selection. The surface variant of the pocket point mover and the
// criteria lists ask them. Least version until the surface access is built: the counts are kept
// per buffer and start at 0 (no surfaces), and a mask adds nothing.
#pragma once

inline constexpr int kSurfaceBuffers = 3;
inline constexpr int kSurfaceCountGet = 1;
inline constexpr int kSurfacePart = 0, kSurfaceCheck = 1;

struct surface_select_words {
    int current = 0;                   // the buffer made current last (0 to 2)
    int counts[kSurfaceBuffers] = {};  // surfaces of each buffer
};
surface_select_words& surface_select();

// Mode 1 answers the buffer's count, any other mode stores count for it. Status 0; -1 for a
// buffer outside 0 .. 2 (nothing changed).
void nc_surf_select_buf(int mode, int buffer, int& count, int& status);

// changed: 1 when the surfaces matching the active mask of the type changed the selection (0).
void mask_new_surfaces(int type, int& changed);
