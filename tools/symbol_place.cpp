// Interactive placement of a tool symbol (TLDSYM): the user indicates a point, and an instance of
// the master is placed there in the orientation of the current view. The point-picking options
// are kept in the model datum "TLSY" between placements.
#include "tools/symbol_masters.hpp"

#include "host/vantu.hpp"
#include "host/vantu_masters.hpp"

#include <array>

namespace {

constexpr int kPickOptions = 5;
constexpr int kPointCancel = -1, kPointBack = -2;
// Prompts before the placement gives up on a point that never comes.
constexpr int kMaxPrompts = 100;

void store_options(const std::array<word, kPickOptions>& options)
{
    int status = 0;
    mdputn("TLSY", 1, kPickOptions, options.data(), status);
}

}  // namespace

void TLDSYM(int master_id, float scale, int& instance_id)
{
    instance_id = 0;
    const bool flat = d2mode() == 1;
    std::array<word, kPickOptions> options{2, 2, 2, 0, 0};
    int status = 0;
    mdget("TLSY", options.data(), kPickOptions, status);
    float point[3] = {0, 0, 0};
    bool picked = false;
    for (int round = 0; round < kMaxPrompts && !picked; ++round) {
        prmptc("INDICATE POSITION");
        getpt(point, options[0], status);
        if (status == kPointCancel || status == kPointBack) break;
        picked = status == 0;
    }
    if (picked) {
        store_options(options);
        if (flat) point[2] = 0.0f;
        float model[3];
        mapw2m(point, model);
        float view[9], transposed[9];
        wvgetc("WVPTR", view, status);
        if (status != 0) std::fill(std::begin(view), std::end(view), 0.0f), view[0] = view[4] = view[8] = 1.0f;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) transposed[row * 3 + column] = view[column * 3 + row];
        slclr();
        int instance = -1;
        tool_display_frame(instance, master_id, transposed, model, scale, status);
        if (status != 0 || instance < 1) {
            eroutc("TLDSYM, CANNOT CREATE TOOL SYMBOL", 0);
        } else {
            edisp(instance, 1, status);
            instance_id = instance;
        }
    }
    store_options(options);
}
