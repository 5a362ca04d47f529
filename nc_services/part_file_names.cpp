// CRTPNM and crtpnm_cstr (see the header).
#include "nc_services/part_file_names.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kNoName = -3, kKept = -1;
constexpr int kNameTextChars = 8;
constexpr int kYes = 1;

void refuse(std::string_view message, int& status)
{
    eroutc(message, 0);
    status = kNoName;
}

// The 8-character name text of the kind, up to its first NUL.
std::string name_text(int kind)
{
    std::string text;
    if (kind == kNameAskToolPath || kind == kNameToolPath) {
        const tp_header_state& n = NPT1();
        text =
            word_to_text4(n.at(tp_header_state::kMacsysName)) + word_to_text4(n.at(tp_header_state::kMacsysName + 1));
    } else {
        int view = 0;
        gsvnum(1, view);
        gvtdat(view, text);
    }
    text.resize(std::min<std::size_t>(text.size(), kNameTextChars));
    return text.substr(0, text.find('\0'));
}

}  // namespace

void CRTPNM(int kind, std::string_view suffix, int suffix_length, std::string& name, int& name_length, int& part_length,
            int& status)
{
    status = 0;
    name.clear();
    name_length = part_length = 0;
    std::string path, part;
    gtpfnm(path);
    if (path.empty()) return refuse("CRTPNM, CANNOT GET CURRENT PART FILE NAME", status);
    nopath(path, part);
    part_length = static_cast<int>(part.size());
    const std::string_view given =
        suffix.substr(0, static_cast<std::size_t>(std::clamp<int>(suffix_length, 0, static_cast<int>(suffix.size()))));
    if (kind < kNameAskPart) {
        std::string marker;
        gtpfmx(marker);
        makfln(part + marker, name_text(kind), given, name, status);
        if (status < 0) return refuse("CRTPNM, CANNOT CREATE FILE NAME", status);
        name_length = lastnb(name);
    } else {
        name = part + "." + std::string(given);
        convcs(name);
        name_length = static_cast<int>(name.size());
    }
    if (kind == kNameAskToolPath || kind == kNameAskVersion || kind == kNameAskPart) {
        if (sexist(name.substr(0, static_cast<std::size_t>(name_length))) != 0) {
            int answer = 0;
            modinz();
            inqflw(name, answer);
            modinz();
            if (answer != kYes) {
                status = kKept;
                return;
            }
        }
    }
    status = 0;
}

void crtpnm_cstr(int kind, const char* suffix, int suffix_length, char (&name)[kMostFileNameChars + 1],
                 int& name_length, int& part_length, int& status)
{
    name[0] = '\0';
    const std::string_view given = suffix ? std::string_view(suffix) : std::string_view();
    std::string made;
    CRTPNM(kind, given, suffix_length, made, name_length, part_length, status);
    if (status < 0) return;
    if (name_length > kMostFileNameChars) {
        name_length = 0;
        return refuse("CRTPNM, CANNOT CREATE FILE NAME", status);
    }
    std::memcpy(name, made.data(), static_cast<std::size_t>(name_length));
    name[name_length] = '\0';
}
