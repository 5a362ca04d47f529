// The procedure template file stand-in: one open file of typed words, a read position and a
// mode. The words are not persisted in the part file (templates live in their own files); reset
// closes the file.
#include "host/vantu_template.hpp"

#include "host/control/template.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <cmath>
#include <limits>

namespace {

constexpr int kNoFile = -1, kShort = -2, kWrongMode = -3;
constexpr int kIntegerType = 0, kRealType = 1;
// Most words one file holds: a wrong count fails instead of exhausting memory.
constexpr std::size_t kMaxTemplateWords = 1 << 20;

struct template_state {
    int handle = 0;  // 0: no file open
    int next_handle = 1;
    bool for_writing = false;
    std::string name;
    std::vector<vantu::control::template_word> words;
    std::size_t read_at = 0;
};

template_state& state()
{
    static template_state* s = new template_state;
    return *s;
}

bool valid(int file) { return file != 0 && file == state().handle; }

// The stored word as a value of the asked type: integers and reals convert by value, any other
// pair moves the bits as they stand.
word converted(const vantu::control::template_word& stored, int type)
{
    if (stored.type == kIntegerType && type == kRealType) return real_to_word(static_cast<float>(stored.value));
    if (stored.type == kRealType && type == kIntegerType) {
        float value = word_to_real(stored.value);
        if (!std::isfinite(value) || std::fabs(value) > static_cast<float>(std::numeric_limits<word>::max() / 2))
            return 0;
        return static_cast<word>(std::lround(value));
    }
    return stored.value;
}

void reset_template() { state() = template_state{}; }

const bool template_file_registered =
    vantu::register_component({"template_file", reset_template, nullptr, nullptr, nullptr});

}  // namespace

void get_template_file_ptr(int& file)
{
    file = state().handle;
    vantu::trace_count("get_template_file_ptr");
}

void template_read_one_record(int file, word* values, int n, int type, int& status)
{
    auto finish = [&](int result) {
        status = result;
        vantu::trace_call("template_read_one_record", std::to_string(n) + "," + std::to_string(type), result);
    };
    if (auto fault = vantu::fault_hit("template_read_one_record")) return finish(*fault);
    template_state& s = state();
    if (!valid(file) || n < 0 || (n > 0 && !values)) return finish(kNoFile);
    if (s.for_writing) return finish(kWrongMode);
    if (static_cast<std::size_t>(n) > s.words.size() - s.read_at) return finish(kShort);
    for (int i = 0; i < n; ++i) values[i] = converted(s.words[s.read_at + i], type);
    s.read_at += static_cast<std::size_t>(n);
    finish(0);
}

void template_write_one_record(int file, const word* values, int n, int type, int& status)
{
    auto finish = [&](int result) {
        status = result;
        vantu::trace_call("template_write_one_record", std::to_string(n) + "," + std::to_string(type), result);
    };
    if (auto fault = vantu::fault_hit("template_write_one_record")) return finish(*fault);
    template_state& s = state();
    if (!valid(file) || n < 0 || (n > 0 && !values)) return finish(kNoFile);
    if (!s.for_writing) return finish(kWrongMode);
    if (static_cast<std::size_t>(n) > kMaxTemplateWords - s.words.size()) {
        vantu::record_host_error("template_write_one_record: the template file is full");
        return finish(kShort);
    }
    for (int i = 0; i < n; ++i) s.words.push_back({type, values[i]});
    finish(0);
}

void template_read_rw(int file, word* values, int n, int& status)
{
    vantu::trace_count("template_read_rw");
    template_state& s = state();
    status = 0;
    if (!valid(file) || n < 0 || (n > 0 && !values))
        status = kNoFile;
    else if (s.for_writing)
        status = kWrongMode;
    else if (static_cast<std::size_t>(n) > s.words.size() - s.read_at)
        status = kShort;
    else
        for (int i = 0; i < n; ++i) values[i] = s.words[s.read_at + i].value;
}

void template_at_end(int file, int& answer)
{
    answer = valid(file) && !state().for_writing && state().read_at >= state().words.size() ? 1 : 0;
}

void template_file_name(int file, std::string& name) { name = valid(file) ? state().name : std::string(); }

namespace vantu::control {

int template_open(std::string_view name, bool for_writing, std::vector<template_word> contents)
{
    template_state& s = state();
    s.handle = s.next_handle++;
    s.for_writing = for_writing;
    s.name = std::string(name);
    s.words = std::move(contents);
    s.read_at = 0;
    return s.handle;
}

void template_close()
{
    template_state& s = state();
    s.handle = 0;
    s.words.clear();
    s.read_at = 0;
}

std::vector<template_word> template_contents() { return state().handle ? state().words : std::vector<template_word>{}; }

int template_read_position() { return static_cast<int>(state().read_at); }

}  // namespace vantu::control
