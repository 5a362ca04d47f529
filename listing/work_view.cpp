// The work view and the MACSYS model data of the block display (see the header).
#include "listing/work_view.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"

namespace {
constexpr int kRealKind = 1;
}  // namespace

void work_view_take(int view, float depth)
{
    int status = 0;
    wvputc("WVPTR", view, status);
    wvputc("DEPTH", real_to_word(depth), status);
    wvsave();
    setwv();
}

void store_view_matrix(const view_matrix& matrix)
{
    word words[9];
    for (int i = 0; i < 9; ++i) words[i] = real_to_word(matrix[static_cast<std::size_t>(i)]);
    int status = 0;
    mdputn("STVW", kRealKind, 9, words, status);
}

void store_machine_frame(const view_matrix& matrix, const std::array<float, 3>& origin)
{
    constexpr int kOriginWord = 9;
    std::array<word, kCoorWords> coor{};
    int status = 0;
    mdgetc("COOR", kCoorWords, coor.data(), status);
    float model[3];
    mapw2m(origin.data(), model);
    for (int i = 0; i < 9; ++i) coor[static_cast<std::size_t>(i)] = real_to_word(matrix[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 3; ++i) coor[static_cast<std::size_t>(kOriginWord + i)] = real_to_word(model[i]);
    mdputn("COOR", kCoorKind, kCoorWords, coor.data(), status);
}

void symbols_off() { edsym(0, 0); }

void symbols_on()
{
    edsym(2, 1);
    edsym(3, 1);
}

view_matrix npt1_matrix()
{
    view_matrix m{};
    for (int i = 0; i < 9; ++i) m[static_cast<std::size_t>(i)] = NPT1().real(tp_header_state::kMacsysMatrix + i);
    return m;
}

void set_npt1_matrix(const view_matrix& matrix)
{
    for (int i = 0; i < 9; ++i)
        NPT1().set_real(tp_header_state::kMacsysMatrix + i, matrix[static_cast<std::size_t>(i)]);
}
