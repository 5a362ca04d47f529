// The forms of the tool dialog and its pages: the label table the host fills, the item lists
// (watch and follow-up) of the dialog, the cells that carry the tool's values into the host's
// page and back, and the builder that declares a page's items and counts them as the host numbers
// them (from 1, in the order declared; a column break is no item).
#pragma once

#include "host/words.hpp"

#include <array>
#include <deque>
#include <string>
#include <string_view>

// The host's label table of the tool dialog and the words of it each page takes its labels from.
inline constexpr int kToolLabelTable = 3;
inline constexpr int kLabelsPerPage = 16;
inline constexpr int kLabelPages = 16;
inline constexpr int kToolLabelWords = kLabelsPerPage * kLabelPages;
std::array<word, kToolLabelWords>& tool_labels();
// Pages of the label table.
inline constexpr int kDialogLabels = 0, kHolderLabels = 11, kToolDataLabels = 12, kConditionLabels = 13;

// An item list of at most 200 item numbers; items beyond are dropped.
inline constexpr int kMaxListItems = 200;
struct item_list {
    std::array<int, kMaxListItems> items{};
    int count = 0;
    void clear() { count = 0; }
    void add(int item)
    {
        if (count < kMaxListItems) items[static_cast<std::size_t>(count++)] = item;
    }
    bool holds(int item) const;
};

// Cells of the host's page: a value of the tool copied into a word cell when the page is built
// and back into the tool once the page has run. Cells stay in place until the next clear.
class form_cells {
public:
    void clear() { cells_.clear(); }
    word& real(float& target);
    word& integer(int& target);
    word& text(std::string& target);  // 20 characters in five words
    // Copies every cell back into its value.
    void store_back();

private:
    struct cell {
        std::array<word, 5> words{};
        float* real = nullptr;
        int* integer = nullptr;
        std::string* text = nullptr;
    };
    std::deque<cell> cells_;
};

// Item flags of a declaration: watched (a change may alter a tool used by tool paths) and
// follow-up (the class follow-up runs after a change).
inline constexpr unsigned kWatch = 1, kFollow = 2;
// Field kinds of nu_mod_exec.
inline constexpr int kIntField = 1, kRealField = 2, kListInt = 3, kListChoice = 4, kSecondReal = 5, kTextField = 7;

struct form_builder {
    form_cells& cells;
    item_list& watch;
    item_list& follow;
    int label_page = 0;
    bool armed = false;      // the in-use warning is armed: watched items go into the watch list
    bool watch_all = false;  // every item is watched (a library tool, a tool shown)
    bool listing = false;    // the form is written to a listing: no column breaks
    bool host_run = false;   // the host runs the form: no blanks, no column breaks
    int items = 0;           // items declared so far

    // A field of the tool: its item number, or 0 when the host refused it.
    int real(int label, int kind, float& value, float minimum, float maximum, unsigned flags = 0);
    int integer(int label, int kind, int relation, int& value, float minimum, float maximum, unsigned flags = 0);
    int text20(int label, std::string& value, unsigned flags = 0);
    // A text line, or with "@" a choice on the value.
    int line(std::string_view text, int& value, unsigned flags = 0);
    int line(std::string_view text);
    // A titled choice: the text before the first "@" is its title, the choices follow.
    int titled(std::string_view text, int& value, unsigned flags = 0);
    int colour(int& value, unsigned flags = 0);
    void blank(int count = 1);
    void column();
    int label_id(int label) const;

private:
    int placed(int status, unsigned flags);
};
