// Texts shared by the interaction calls: the names of the event kinds, the choices of a menu text
// ("@" separates them, ">" marks a cycling choice) and the way reals are written in the
// transcript.
#include "host/core/script_engine.hpp"

#include <charconv>

namespace vantu::script {

std::string_view kind_name(event_kind kind)
{
    switch (kind) {
    case event_kind::menu: return "menu";
    case event_kind::page: return "page";
    case event_kind::question: return "question";
    case event_kind::pick: return "pick";
    case event_kind::point: return "point";
    case event_kind::key: return "key";
    case event_kind::text: return "text";
    }
    return "unknown";
}

std::vector<std::string> split_choices(std::string_view text)
{
    std::vector<std::string> choices;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find('@', start);
        choices.emplace_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    // "REDEFINE CONTOURS@ADD CONTOURS@" ends with a separator, not with an empty last choice.
    if (choices.size() > 1 && choices.back().empty()) choices.pop_back();
    return choices;
}

std::string choice_name(std::string_view choice)
{
    const std::size_t first = choice.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    std::size_t last = choice.find_last_not_of(' ');
    if (choice[last] == '>') {
        if (last == first) return "";
        last = choice.find_last_not_of(' ', last - 1);  // stops at `first` at the latest
    }
    return std::string(choice.substr(first, last - first + 1));
}

std::string real_text(double value)
{
    char buffer[64];
    const float as_float = static_cast<float>(value);
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, as_float);
    return std::string(buffer, result.ptr);
}

}  // namespace vantu::script
