// Data-file paths through the host's data-file search, and the meaningful lines of data files.
#include "tools/data_file_path.hpp"

#include "host/vantu.hpp"
#include "host/vantu_datafiles.hpp"

#include <algorithm>

namespace {
constexpr int kPathMessageGroup = 350, kPathMessageNumber = 12;
constexpr int kNameWords = 8;
}  // namespace

void data_file_path(int mode, std::string_view name, int& path_length, std::string& path, int& status)
{
    status = -1;
    if (mode != kDataFileFind && mode != kDataFileBuild) return;
    std::string found;
    int search = -1;
    if (mode == kDataFileFind) {
        get_dat_name(name, found, search);
        if (search == 0) status = 0;
    }
    // A search that fails in itself (not merely a missing file) falls back to the data directory.
    if (mode == kDataFileBuild || search < -1) {
        dat_name(kDataDirectoryKind, name, found, search);
        if (search == 0) chk_crt(found, status);
    }
    if (status == 0) {
        path = found.substr(0, kMaxDataPath);
        path_length = static_cast<int>(path.size());
    } else {
        msg_mdls(kPathMessageGroup, kPathMessageNumber);
    }
}

void data_file_path_words(int mode, const word* name_words, int& path_length, std::string& path, int& status)
{
    std::string name;
    for (int i = 0; i < kNameWords; ++i) name += word_to_text4(name_words[i]);
    name = name.substr(0, name.find('\0'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    data_file_path(mode, name, path_length, path, status);
}

int next_data_line(std::istream& file, std::string& line)
{
    std::string raw;
    while (std::getline(file, raw)) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (raw.size() > static_cast<std::size_t>(kMaxDataPath)) raw.resize(kMaxDataPath);
        if (raw.empty() || raw.front() == '*') continue;
        if (std::all_of(raw.begin(), raw.end(), [](char c) { return c == ' ' || c == '\t'; })) continue;
        line = raw;
        return static_cast<int>(line.size());
    }
    line.clear();
    return 0;
}
