// The host's message catalogue: the texts of the catalogue messages the stand-in knows, by group
// (module) and number. Internal to the host; msg_mdls, msg_get, msg_prompt and msg_quest show them.
#pragma once

#include <string_view>

namespace vantu {

// The catalogue's text of the message; empty when the stand-in's catalogue has none.
std::string_view catalogue_text(int group, int number);

// The name a parameter field shows beside its label number (the host message that names a
// parameter on a page, nu_mod_exec); empty when the stand-in has none.
std::string_view parameter_label_text(int label);

}  // namespace vantu
