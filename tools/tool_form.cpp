// The label table, item lists, page cells and the form builder of the tool dialog's pages.
#include "tools/tool_form.hpp"
#include "tools/module_block.hpp"

#include "host/vantu.hpp"

#include <algorithm>

namespace {
constexpr int kTextWords = 5;
constexpr int kTextChars = 20;
}  // namespace

std::array<word, kToolLabelWords>& tool_labels() { return module_block<std::array<word, kToolLabelWords>>(); }

bool item_list::holds(int item) const
{
    return std::find(items.begin(), items.begin() + count, item) != items.begin() + count;
}

word& form_cells::real(float& target)
{
    cell& c = cells_.emplace_back();
    c.real = &target;
    c.words[0] = real_to_word(target);
    return c.words[0];
}

word& form_cells::integer(int& target)
{
    cell& c = cells_.emplace_back();
    c.integer = &target;
    c.words[0] = target;
    return c.words[0];
}

word& form_cells::text(std::string& target)
{
    cell& c = cells_.emplace_back();
    c.text = &target;
    std::string padded = target.substr(0, std::min(target.find('\0'), target.size()));
    padded.resize(kTextChars, ' ');
    movt2i(padded.data(), kTextWords, c.words.data());
    return c.words[0];
}

void form_cells::store_back()
{
    for (cell& c : cells_) {
        if (c.real) {
            *c.real = word_to_real(c.words[0]);
        } else if (c.integer) {
            *c.integer = c.words[0];
        } else if (c.text) {
            std::string text(kTextChars, ' ');
            movi2t(c.words.data(), kTextWords, text.data());
            *c.text = text;
        }
    }
}

int form_builder::label_id(int label) const
{
    const int index = std::clamp(label_page * kLabelsPerPage + label, 0, kToolLabelWords - 1);
    return tool_labels()[static_cast<std::size_t>(index)];
}

int form_builder::placed(int status, unsigned flags)
{
    if (status != 0) return 0;
    ++items;
    if (watch_all || (armed && (flags & kWatch))) watch.add(items);
    if (flags & kFollow) follow.add(items);
    return items;
}

int form_builder::real(int label, int kind, float& value, float minimum, float maximum, unsigned flags)
{
    int status = 0;
    nu_mod_exec(kind, label_id(label), -1, cells.real(value), minimum, maximum, status);
    return placed(status, flags);
}

int form_builder::integer(int label, int kind, int relation, int& value, float minimum, float maximum, unsigned flags)
{
    int status = 0;
    nu_mod_exec(kind, label_id(label), relation, cells.integer(value), minimum, maximum, status);
    return placed(status, flags);
}

int form_builder::text20(int label, std::string& value, unsigned flags)
{
    int status = 0;
    nu_mod_exec(kTextField, label_id(label), -1, cells.text(value), 0.0f, 0.0f, status);
    return placed(status, flags);
}

int form_builder::line(std::string_view text, int& value, unsigned flags)
{
    modmc(text, value);
    return placed(0, flags);
}

int form_builder::line(std::string_view text)
{
    modm(text);
    return placed(0, 0);
}

int form_builder::titled(std::string_view text, int& value, unsigned flags)
{
    modmmc(text, value);
    return placed(0, flags);
}

int form_builder::colour(int& value, unsigned flags)
{
    modclr(value);
    return placed(0, flags);
}

void form_builder::blank(int count)
{
    if (host_run) return;
    for (int i = 0; i < count; ++i) {
        modumc(" ", 0);
        ++items;
        if (watch_all) watch.add(items);
    }
}

void form_builder::column()
{
    if (!host_run && !listing) modcls();
}
