// Control view of the host's NC services (host/vantu_nc.hpp) for the tests and the runner.
#pragma once

#include "host/words.hpp"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantu::control {

// Tool paths from version 830 on hold expressions where older ones hold reals.
inline constexpr int kDefaultToolpathVersion = 900;

// The procedure parameter line: its words (read from the start again after setting) and the
// number of words read so far.
void set_param_line(std::vector<word> words);
int param_line_position();

void set_toolpath_version(int version);

// A parameter as gs_param answers it for the entity id (kParamOpenProcedure: the open
// procedure), class, type and code; the text form packs four characters a word.
void set_proc_param(int id, int param_class, int type, int code, std::vector<word> words);
void set_proc_param_text(int id, int param_class, int type, int code, std::string_view text);

// The 4-character name dbttna gives a stored transformation.
void set_transformation_name(int id, const std::string& name);
// A stored read transformation.
void set_read_transformation(int id, const std::array<float, 9>& matrix, const std::array<float, 3>& translation);

// The further copies of the procedure being displayed, each by its matrix and translation;
// cltran hands them out in order.
void set_copy_transformations(const std::vector<std::pair<std::array<float, 9>, std::array<float, 3>>>& copies);

std::vector<word> machine_table_ext();

// The procedure type and block number that mrm_proc was last given ({0, -1} before any).
std::pair<int, int> last_met_procedure();

}  // namespace vantu::control
