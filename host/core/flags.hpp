// The host's flags and settings: one registry of named integer values with documented defaults.
// Host calls such as get_verbos_fn() or modhix() answer from here; the part file's "flags"
// section and tests set them. Internal to the host.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantu {

struct flag_info {
    const char* name;
    int default_value;
    const char* meaning;
};

// Every flag the host knows, with its default. Unknown names are refused by set and get.
const std::vector<flag_info>& flag_table();

bool flag_known(std::string_view name);
int flag_get(std::string_view name);              // default when never set; 0 for unknown names
bool flag_set(std::string_view name, int value);  // false for unknown names
void flags_reset();

}  // namespace vantu
