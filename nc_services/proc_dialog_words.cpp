// The dialog words of the NC state.
#include "nc_services/proc_dialog_words.hpp"

namespace {
int g_dialog_state = 0;
int g_plane_dialog_kind = 0;
int g_single_curve_contours = 0;
}  // namespace

int& dialog_state_word() { return g_dialog_state; }
int& plane_dialog_kind() { return g_plane_dialog_kind; }
int& single_curve_contours_flag() { return g_single_curve_contours; }
