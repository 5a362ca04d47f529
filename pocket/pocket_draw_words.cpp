// The pocket drawing words (see the header).
#include "pocket/pocket_draw_words.hpp"

namespace {

constexpr int kGet = 1, kSet = 2;

void get_or_set(int mode, int& word, int& value)
{
    if (mode == kGet)
        value = word;
    else if (mode == kSet)
        word = value;
}

}  // namespace

pocket_draw_words& pocket_draw()
{
    static pocket_draw_words words;
    return words;
}

void pk_draw_phase_reset() { pocket_draw().phase = 0; }
void pk_draw_phase_set(int& value) { pocket_draw().phase = value; }
void pk_draw_phase_get(int& value) { value = pocket_draw().phase; }

void reduced_tool_set(int flag, float& limit)
{
    pocket_draw().reduced_tool = flag;
    pocket_draw().reduced_limit = limit;
}

void reduced_tool_get(int& flag, float& limit)
{
    flag = pocket_draw().reduced_tool;
    limit = pocket_draw().reduced_limit;
}

void pk_aux_flag_reset() { pocket_draw().aux_flag = 0; }
void pk_aux_flag_get(int& value) { value = pocket_draw().aux_flag; }
void pk_entry_value_gs(int mode, int& value) { get_or_set(mode, pocket_draw().entry_value, value); }
void pk_entry_param_gs(int mode, int& value) { get_or_set(mode, pocket_draw().entry_param, value); }
