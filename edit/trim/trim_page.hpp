// The trimming driver's two menus: BLOCKS SELECTION and the parameter page of a method, with the
// rules that tie the page's choices to the method.
#pragma once

#include <string>

// Selection methods.
inline constexpr int kByContourXY = 1, kByContourAny = 2, kBySelect = 3, kAllBlocks = 4, kDivideByTool = 5;
// Operations, projection modes and connect modes of the page.
inline constexpr int kMoveByDeltaZ = 1, kProjectMotions = 2, kDeleteMotions = 3;
inline constexpr int kProjectBelowZ = 1, kProjectOnZ = 2, kProjectBelowSurf = 3, kProjectOnSurf = 4,
                     kCheckBelowSurf = 5;
inline constexpr int kThroughClear = 1, kThroughIncClear = 2, kDirectly = 3, kAlongContour = 4;

// The BLOCKS SELECTION choices; DIVIDE BY TOOL only when the procedure's optimizer names a set
// of tools.
std::string selection_menu_text(bool divide_offered);

// The page's choices brought in line with the method: DELETE MOTIONS becomes PROJECT MOTIONS
// with ALL PROCEDURE BLOCKS; CONNECT: ALONG CONT. becomes CONNECT: THROUGH CLEAR except with BY
// CONTOUR:XY PLANE; a surface projection mode becomes PROJ.:BLK BELOW Z PLN without surfaces; a
// stored delete mode other than 1 gives "THIS OPTION IS NOT WORKING YET" and becomes 1.
void page_rules(int method, int surfaces_allowed);

// 1 when the page works on the reference surfaces (PROJECT MOTIONS with modes 3 to 5).
bool surface_case();

// What the page shows besides trim_words(): its method, whether the defaults are shown, whether
// a contour or blocks are defined, the surface count, the lower limit of REF.SRF.OFFSET.
struct page_view {
    int method = kByContourXY;
    int surfaces_allowed = 0;
    int show_defaults = 1;  // 1 HIDE, 2 SHOW (the choice of line 8)
    int defined = 0;        // a contour (methods 1, 2) or picked blocks (method 3)
    int surface_count = 0;
    float offset_floor = 0.0f;  // REF.SRF.OFFSET's lower limit: minus the tool's corner radius
};

// The line numbers of the page's actions.
struct page_lines {
    int method = 1, indicate = 5, define = 10, surfaces = 9, single = 0, to_end = 0, exit = 16;
};

// The values the page's lines edit; the host writes them in place while the page runs.
struct page_values {
    int method_choice = 1, side = 1, operation = 3, mode4 = 1, line5 = 1, connect = 1, show = 1;
    float offset5 = 0.0f, cont_offset = 0.0f, line7 = 0.0f;
    float clear = 0.0f, del_z_up = 0.0f, approach = 0.0f, ref_tol = 0.0f, contour_tol = 0.0f, feed = 0.0f;
    int approach_kind = 1, plunge = 100, down = 100;
    int empty = 0;
};

// Builds the page from trim_words() into values and lines (the host holds the addresses of
// values until the page is run).
void build_page(const page_view& view, page_values& values, page_lines& lines);
// Takes the page's values back into trim_words().
void take_page(const page_view& view, const page_values& values);
// The prompt of the page by operation: "<CR> TO MOVE/EXIT", "<CR> TO PROJ./EXIT", "<CR> TO DELETE/EXIT".
const char* page_prompt(int operation);
