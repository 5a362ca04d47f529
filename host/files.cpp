// The host's file places. They belong to the session, not to the part, so they are not saved in
// the part file; a reset clears them.
#include "host/core/files.hpp"
#include "host/control.hpp"
#include "host/core/component.hpp"

namespace vantu {

namespace {
struct file_places {
    std::vector<std::string> data;
    std::string part;
    std::string output;
};
file_places& places()
{
    static file_places p;
    return p;
}
}  // namespace

const std::vector<std::string>& data_directories() { return places().data; }
const std::string& part_directory() { return places().part; }
const std::string& output_directory() { return places().output; }

namespace control {
void set_data_directories(std::vector<std::string> directories) { places().data = std::move(directories); }
void set_part_directory(std::string directory) { places().part = std::move(directory); }
void set_output_directory(std::string directory) { places().output = std::move(directory); }
}  // namespace control

static void reset_places() { places() = file_places{}; }
static const bool files_registered = register_component({"files", reset_places, nullptr, nullptr, nullptr});

}  // namespace vantu
