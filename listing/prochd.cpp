// PROCHD (see the header).
#include "listing/prochd.hpp"

#include "host/vantu.hpp"
#include "host/vantu_listfile_lines.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "listing/nclist.hpp"
#include "listing/proc_header_listing.hpp"
#include "listing/tool_path_names.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/proc_ctx_save.hpp"

namespace {

constexpr int kMarker = 1;
constexpr int kWriteMode = 2;
constexpr int kFirstLine = 2;           // lacces
constexpr int kSave = 2, kRestore = 1;  // proc_ctx_save
constexpr int kIndent = 11;
constexpr int kCurrentToolPath = -1;

void heading(int unit, const std::string& file, const std::string& macsys)
{
    int& line = lst_state().line;
    fltx7c(unit, kIndent, "PROCEDURE HEADER LIST", line);
    fltx7c(unit, kIndent, std::string(21, '-'), line);
    filtx8(unit, kIndent, "PART FILE NAME: ", "\"" + file + "\"", line);
    filtx8(unit, kIndent, "MACSYS NAME   : ", "\"" + macsys + "\"", line);
    lst_blank(unit);
    lst_blank(unit);
}

// The file: heading, the header blocks of the tool path (kCurrentToolPath or a stored one), closed
// and announced.
void write_file(int tool_path, const std::string& macsys)
{
    float unit_factor = 1.0f;
    gtmesu(unit_factor);
    const float scale = unit_factor > 0.0f ? 1.0f / unit_factor : 1.0f;
    std::string file;
    if (!listing_file_name("PROC_HDR", file)) return;
    int status = 0;
    aopen(kListingUnit, file, kWriteMode, status);
    if (status != 0) return errou4("PROCHD, CANNOT OPEN FILE", file);
    prmptc("W R I T I N G");
    heading(kListingUnit, file, macsys);
    proch_blocks_write(tool_path, kListingUnit, static_cast<int>(real_to_word(scale)), status);
    aclose(kListingUnit, status);
    listing_announce(file);
}

}  // namespace

void PROCHD(int tool_path)
{
    const bool current = tool_path < 1 || tool_path == CLP1().at(proc_colour_pen::kToolPath);
    const tool_path_names names = tool_path_names_of(tool_path, !current);
    if (names.view_kind != kMacsysViewKind) return eroutc("NOT IN MACSYS", 0);
    if (!current) return write_file(tool_path, names.macsys);
    int status = 0, saved = 0, lines = 0;
    lmark(1, kMarker, status);
    proc_ctx_save(0, kSave, saved);
    llines(lines);
    if (lines == 0) {
        userrc("TOOL PATH LIST IS EMPTY");
    } else {
        lacces(kFirstLine, status);
        write_file(kCurrentToolPath, names.macsys);
    }
    tp_list_top_mark(kMarker, status);
    proc_ctx_save(0, kRestore, saved);
}
