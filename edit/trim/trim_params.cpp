// The trimming page's stored words (see the header).
#include "edit/trim/trim_params.hpp"

#include "edit/trim/trim_state.hpp"
#include "host/vantu_mdata.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"

namespace {

constexpr char kKey[] = "ZQA1";
// The limits of the page's DOWN FEED % and PLUNGE FEED % fields. A machine table that holds no
// percentage (0) shows 100: the feed itself, never a feed of 0.
constexpr int kMostDownPercent = 100, kMostPlungePercent = 999, kNoPercent = 100;

int page_percent(word stored, int most)
{
    const int percent = static_cast<int>(stored);
    return percent >= 1 && percent <= most ? percent : kNoPercent;
}

}  // namespace

std::array<word, kTrimParamWords> trim_params_pack()
{
    const trim_state& w = trim_words();
    return {static_cast<word>(w.connection_option),
            static_cast<word>(w.operation),
            static_cast<word>(w.delete_mode),
            static_cast<word>(w.projection_option),
            static_cast<word>(w.side),
            real_to_word(w.inc_clear),
            real_to_word(w.cont_offset),
            real_to_word(w.ref_srf_offset),
            real_to_word(w.z_plane),
            real_to_word(w.delta_z)};
}

void trim_params_unpack(const std::array<word, kTrimParamWords>& words)
{
    trim_state& w = trim_words();
    w.connection_option = static_cast<int>(words[0]);
    w.operation = static_cast<int>(words[1]);
    w.delete_mode = static_cast<int>(words[2]);
    w.projection_option = static_cast<int>(words[3]);
    w.side = static_cast<int>(words[4]);
    w.inc_clear = word_to_real(words[5]);
    w.cont_offset = word_to_real(words[6]);
    w.ref_srf_offset = word_to_real(words[7]);
    w.z_plane = word_to_real(words[8]);
    w.delta_z = word_to_real(words[9]);
}

void trim_params_read()
{
    std::array<word, kTrimParamWords> words{};
    int status = 0;
    mdgetc(kKey, kTrimParamWords, words.data(), status);
    if (status == 0) trim_params_unpack(words);
}

void trim_params_store()
{
    const std::array<word, kTrimParamWords> words = trim_params_pack();
    int status = 0;
    mdputc(kKey, kTrimParamWords, words.data(), status);
}

void trim_entry_defaults()
{
    trim_state& w = trim_words();
    w.connection_option = 1;
    w.operation = 3;
    w.delete_mode = 1;
    w.projection_option = 1;
    w.side = 1;
    w.inc_clear = 10.0f;
    w.cont_offset = 0.0f;
    w.ref_srf_offset = 0.0f;
    w.z_plane = 10.0f;
    w.delta_z = 50.0f;
    w.clear = HEI8().real(heights_state::kClearance) - NPT1().real(tp_header_state::kMacsysOrigin + 2);
    const machine_params& m = PRM9();
    w.feed = m.real(machine_params::kBaseFeed);
    w.down_feed_percent = page_percent(m.words[machine_params::kFeedPercent2], kMostDownPercent);
    w.plunge_feed_percent = page_percent(m.words[machine_params::kFeedPercent3], kMostPlungePercent);
    w.clear_warning = 1;
    w.end_reached = 0;
    w.nothing_follows = 0;
    w.first_chain = 1;
    w.restart_armed = 0;
}
