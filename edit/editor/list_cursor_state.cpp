// The manual editor's cursor words (see the header).
#include "edit/editor/list_cursor_state.hpp"

list_cursor_state& list_cursor()
{
    static list_cursor_state state;
    return state;
}

int* prm_unchanged_flag(int parameter_type)
{
    for (std::size_t i = 0; i < kUnchangedTypes.size(); ++i)
        if (kUnchangedTypes[i] == parameter_type) return &list_cursor().prm_unchanged_flags[i];
    return nullptr;
}
