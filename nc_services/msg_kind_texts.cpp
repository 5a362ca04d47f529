// The texts of the message kinds (see the header).
#include "nc_services/msg_kind_texts.hpp"

#include <array>

namespace {

struct kind_texts {
    char first;
    const char* label;
    const char* prompt;
    const char* title;
};

constexpr std::array<kind_texts, 4> kKinds{{
    {' ', "MSG=", "ENTER MESSAGE     ", "MESSAGE            "},
    {'$', "SCD=", "ENTER SEQ. CODE   ", "CODE WITH SEQ.     "},
    {'*', "COD=", "ENTER NO SEQ. CODE", "CODE WITHOUT SEQ.  "},
    {'@', "NAM=", "ENTER NAME        ", "USER DEF.BLOCK NAME"},
}};

int kind_of_character(char first)
{
    for (std::size_t k = 1; k < kKinds.size(); ++k)
        if (kKinds[k].first == first) return static_cast<int>(k) + 1;
    return 1;
}

}  // namespace

void msg_kind_texts(int& kind, char& first, std::string& label, std::string& prompt, std::string& title)
{
    if (kind < 1 || kind > static_cast<int>(kKinds.size())) kind = kind_of_character(first);
    const kind_texts& t = kKinds[static_cast<std::size_t>(kind - 1)];
    first = t.first;
    label = t.label;
    prompt = t.prompt;
    title = t.title;
}
