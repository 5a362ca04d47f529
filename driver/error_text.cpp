// Error-line wrappers. The copy is bounded three ways: by the caller's length, by the line
// width of 80 and by the text's real length, so a caller's wrong length never reads past the
// text.
#include "driver/error_text.hpp"

#include "host/vantu.hpp"
#include "nc_services/bounded_text.hpp"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kErrorLineWidth = 80;
}

void errout_text(std::string_view text, int length, int code)
{
    const std::string_view line = bounded_text(text, std::min(length, kErrorLineWidth));
    const std::size_t count = line.size();
    char copy[kErrorLineWidth + 1] = {};
    line.copy(copy, count);
    errout(copy, code, static_cast<int>(count));
}

void errout_cstr(const char* text, int code)
{
    std::string_view view = text ? std::string_view(text) : std::string_view();
    errout_text(view, static_cast<int>(std::min<std::size_t>(view.size(), kErrorLineWidth)), code);
}
