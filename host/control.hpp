// Control interface of the host stand-in, for the runner and the tests only: module code never
// includes it. It resets the host, loads and saves a part, installs a script, injects faults and
// inspects what the module did. Each component adds its own inspection calls in its header under
// host/control/.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantu::control {

// ---- whole host -----------------------------------------------------------------------------

// Back to a fresh host: every component's state cleared, flags at their defaults.
void reset();

// A part file or script that cannot be read; what() names the file and the place in it.
struct part_error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Loads a part (JSON) into a freshly reset host. The file places (data directories, part folder,
// output folder) belong to the session and stay as they were, so that the files a part names are
// found by the data-file search while it loads; load_part makes the file's folder the part folder.
// Throws part_error.
void load_part(const std::string& path);
void load_part_text(std::string_view json_text, const std::string& name_for_errors);
// Writes the host's persistent state as a part file that load_part reads back to the same state:
// to a file, to a stream (section by section, the tool path line by line: no copy of the whole
// text or tree is held), or as text.
void save_part(const std::string& path);
void write_part(std::ostream& out);
std::string save_part_text();

// Lines reporting what the run left behind (unreleased arrays, open entity, ...), empty when
// everything was given back.
std::vector<std::string> end_report();

// ---- trace ----------------------------------------------------------------------------------
struct trace_entry {
    std::string name;
    std::string arguments;
    int result;
};
void set_tracing(bool on);
bool tracing();
const std::vector<trace_entry>& trace_entries();
std::vector<std::string> trace_names();  // names of the recorded calls, in order
long call_count(std::string_view name);  // counted whether tracing is on or not
void clear_trace();

// ---- fault injection ------------------------------------------------------------------------
// The named call fails with `status` on its first_call-th call after arming (1-based) and on the
// count - 1 calls after it.
void inject_fault(std::string_view call, long first_call, long count, int status);
void clear_faults();
const std::vector<std::string>& faults_fired();

// ---- flags ----------------------------------------------------------------------------------
// Sets a host flag ("verbos", "screen_height", ...); false for an unknown name.
bool set_flag(std::string_view name, int value);
int get_flag(std::string_view name);

}  // namespace vantu::control

#include "host/control/assoc_records.hpp"
#include "host/control/clock.hpp"
#include "host/control/contours.hpp"
#include "host/control/curve_sets.hpp"
#include "host/control/datamenu.hpp"
#include "host/control/descriptors.hpp"
#include "host/control/display.hpp"
#include "host/control/edit_command.hpp"
#include "host/control/entities.hpp"
#include "host/control/files.hpp"
#include "host/control/list.hpp"
#include "host/control/listfile.hpp"
#include "host/control/masters.hpp"
#include "host/control/mdata.hpp"
#include "host/control/memory.hpp"
#include "host/control/messages.hpp"
#include "host/control/nc.hpp"
#include "host/control/nc_state.hpp"
#include "host/control/ncd_attrs.hpp"
#include "host/control/ncd_file.hpp"
#include "host/control/origin.hpp"
#include "host/control/proc_run.hpp"
#include "host/control/script.hpp"
#include "host/control/selection.hpp"
#include "host/control/simulation.hpp"
#include "host/control/status_line.hpp"
#include "host/control/template.hpp"
#include "host/control/textarea.hpp"
#include "host/control/textfiles.hpp"
#include "host/control/tool_instance.hpp"
#include "host/control/tp_display_host.hpp"
#include "host/control/tp_registry.hpp"
#include "host/control/trim_host.hpp"
#include "host/control/work_model.hpp"
