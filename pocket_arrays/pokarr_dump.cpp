// The text dumps of the pocket engine: a pocket array ("pokarr<id>.txt") and the crossing records
// of the loop removal ("pkingo<id>.txt"), written to the host's debug directory (cad_name code
// 20). Their layout is fixed: developers compare them between runs.
#include "pocket_arrays/pokarr_show.hpp"

#include "host/vantu.hpp"
#include "host/vantu_contours.hpp"
#include "pocket_arrays/pocket_prepare.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The full name of a dump file: the debug directory joined with the formatted name.
bool dump_path(const char* format, int id, std::string& path)
{
    std::string directory;
    int status = 0;
    cad_name(kCadNameDebugDirectory, directory, status);
    if (status != 0) return false;
    char name[64];
    std::snprintf(name, sizeof name, format, static_cast<char>(std::filesystem::path::preferred_separator), id % 1000);
    path = directory + name;
    return true;
}

const char* kind_text(const pokarr& a, char* buffer, std::size_t size)
{
    if (a.kind == kPokarrChild) return "Type: Child\n";
    if (a.kind == kPokarrEmpty) return "Type: Empty\n";
    if (a.kind == kPokarrStatic) return "Type: Static\n";
    std::snprintf(buffer, size, "Type: Dynamic (index = %-4d) \n", a.kind);
    return buffer;
}

const char* direction_text(int direction)
{
    if (direction < 0) return "CLW(-1) ";
    return direction == 0 ? "NONE(0)" : "CCW(1) ";
}

void write_table(std::FILE* f, const pokarr& a, int first, int last)
{
    const double* o = pocket_frame_block.origin;
    switch (a.dimension) {
    case 1:
        std::fputs("Index ,      N     \n======,============\n", f);
        for (int i = first; i <= last; ++i) std::fprintf(f, "%5d , %10.9G \n", i, a.x[i]);
        break;
    case 2:
        std::fputs("Index ,      X     ,      Y     ,           Xw    ,      Yw    \n"
                   "======,============,============,     ============,============\n",
                   f);
        for (int i = first; i <= last; ++i)
            std::fprintf(f, "%5d, %10.9G , %10.9G ,      %10.9G , %10.9G\n", i, a.x[i], a.y[i], a.x[i] + o[0],
                         a.y[i] + o[1]);
        break;
    case 3:
        std::fputs("Index ,      X     ,      Y     ,      Z     ,           Xw    ,      Yw    ,      Zw    \n"
                   "======,============,============,============,     ============,============,============\n",
                   f);
        for (int i = first; i <= last; ++i)
            std::fprintf(f, "%5d , %10.9G , %10.9G , %10.9G,      %10.9G , %10.9G , %10.9G \n", i, a.x[i], a.y[i],
                         a.z[i], a.x[i] + o[0], a.y[i] + o[1], a.z[i] + o[2]);
        break;
    default:
        std::fputs("Index ,\t    X     ,      Y     ,      Z     ,    Inrm    ,    Jnrm    ,    Knrm    \n"
                   "======,============,============,============,============,============,============\n",
                   f);
        for (int i = first; i <= last; ++i)
            std::fprintf(f, "%5d , %10.9G , %10.9G , %10.9G , %10.9G , %10.9G , %10.9G \n", i, a.x[i], a.y[i], a.z[i],
                         a.n[3 * i], a.n[3 * i + 1], a.n[3 * i + 2]);
        break;
    }
}

}  // namespace

int pokarr_dump(const pokarr* array, int file_id, int first, int last)
{
    if (array == nullptr) return -1;
    const pokarr& a = *array;
    if (pokarr_show_block.dump_id_switch) file_id = 0;
    std::string path;
    if (!dump_path("%cpokarr%03d.txt", std::abs(file_id), path)) return -1;
    std::FILE* f = std::fopen(path.c_str(), file_id >= 0 ? "w" : "a");
    if (f == nullptr) return -1;
    std::fprintf(f, "Pocket array\n~~~~~~~~~~~~\n\nFile id: %d\n\n", file_id);
    if (last < first || last > a.count - 1) last = a.count - 1;
    char buffer[64];
    std::fputs(kind_text(a, buffer, sizeof buffer), f);
    if (a.kind != kPokarrEmpty) {
        std::fprintf(f, "Indicator: %d,  Direction: %s,    Area = %10.9G\n", a.indicator, direction_text(a.direction),
                     a.area);
        if (a.dimension == 4) {
            std::fputs("Dimensions: 3 + Normals\n", f);
        } else {
            std::fprintf(f, "Dimensions: %d\n", a.dimension);
        }
        const double* o = pocket_frame_block.origin;
        if (a.dimension == 2) std::fprintf(f, "Origin: Xmin = %10.9G   Ymin = %10.9G\n", o[0], o[1]);
        if (a.dimension >= 3)
            std::fprintf(f, "Origin: Xmin = %10.9G   Ymin = %10.9G  Zmin = %10.9G\n", o[0], o[1], o[2]);
        std::fprintf(f, "No of Points: %d\n", a.count);
        const bool blocks = a.x != nullptr && (a.dimension < 2 || a.y != nullptr) &&
                            (a.dimension < 3 || a.z != nullptr) && (a.dimension < 4 || a.n != nullptr);
        if (a.count > 0 && first >= 0 && first <= a.count - 1 && blocks) write_table(f, a, first, last);
    }
    std::fputs("\n\n", f);
    return std::fclose(f) == 0 ? 0 : -1;
}

int pkingo_dump(int file_id, int n, const int* ingo, const int* ingo1, const double* xing, const double* ying,
                const double* u1, const double* u2)
{
    if (n < 0 || (n > 0 && (ingo == nullptr || ingo1 == nullptr || xing == nullptr || ying == nullptr))) return -1;
    file_id = std::abs(file_id);
    std::string path;
    if (!dump_path("%cpkingo%03d.txt", file_id, path)) return -1;
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) return -1;
    std::fprintf(f, "Pocket Intersections\n~~~~~~~~~~~~~~~~~~~~\n\nFile id: %d\n", file_id % 1000);
    std::fprintf(f, "ingos: %d\n\n", n);
    std::fputs("Index | ingo  | ingo1 |    xing    |    ying    |      u1    |      u2    \n", f);
    std::fputs("======+=======+=======+============+============+=============+=============\n", f);
    for (int i = 0; i < n; ++i) {
        std::fprintf(f, "%5d | %5d | %5d | %10.9G | %10.9G ", i, ingo[i], ingo1[i], xing[i], ying[i]);
        if (u1 != nullptr && u2 != nullptr) {
            std::fprintf(f, "| %10.9f | %10.9f \n", u1[i], u2[i]);
        } else {
            std::fputs("\n", f);
        }
    }
    std::fputs("\n\n", f);
    return std::fclose(f) == 0 ? 0 : -1;
}
