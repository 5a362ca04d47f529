// Control view of the tool-path registry (host/vantu_tpreg.hpp), for the tests and the runner:
// declares tool-path entities with their header words and the host procedures each holds, and
// chooses the current tool path and the procedure being edited. Persisted in the part file as
//   "tp_registry": { "current_tool_path": 12, "current_procedure": 7,
//                    "tool_paths": { "12": {"header": [...], "procedures": [7, 9]} } }
// A tool path holding entries of other kinds keeps them in order as "entries": [[1, 7], [2, 14]].
#pragma once

#include "host/words.hpp"

#include <utility>
#include <vector>

namespace vantu::control {

// Declares (or replaces) the tool-path entity tp_id with its header words and the ids of the
// host procedures it holds. False, and nothing changed, for an id or a procedure id below 1 or
// a header of more than kTpHeaderMaxWords words.
bool declare_tool_path(int tp_id, const std::vector<word>& header, const std::vector<int>& procedures);
// The same with entries of any kind as (kind, entity id) pairs in order (kind 1 a host procedure,
// 2 a nested tool path, 4 and 10 movement entities); kinds and ids below 1 are refused.
bool declare_tool_path_entries(int tp_id, const std::vector<word>& header,
                               const std::vector<std::pair<int, int>>& entries);

// The tool path being worked on (-1: none) and the procedure being edited (-1: none).
void set_current_tool_path(int tp_id);
void set_current_procedure(int proc_id);
int current_procedure();

// The header words of a declared tool path; empty when there is none.
std::vector<word> tool_path_header(int tp_id);

}  // namespace vantu::control
