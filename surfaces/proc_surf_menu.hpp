// The procedure's surface menu as a script answers it, and the clean-up of a triangulation that
// a stop interrupted.
#pragma once

// The surface menu of the procedure's part-surface buffer: "TAKE PART SURFACES" makes the part's
// surfaces of that buffer (as the part holds them) the selection, "NO SURFACES" empties it. The
// count lands in the buffer's count (nc_surf_select_buf); changed is 1 when it differs from the
// count before. Status 0; -2 when the menu was left without a choice.
void proc_surf_menu(int& changed, int& status);

// Frees the triangle model that allsrf was building when it was interrupted (its arrays are the
// global model's and no cache slot names them). Status as tri_model_release.
void close_allsrf_arrays(int& status);
