// The tool dialog: the mode's preparation of the current tool, the form (name, comment, internal
// or library header, symbol, the class page, the buttons of the further pages, a mill's holder
// block), what each changed item does, the rules that must hold before the form is accepted, and
// what every way out gives back. Reads and writes current_tool, tool_shape_records and
// holder_set; reads the tool and holder entities' colours and the NC state text field.
#include "tools/tool_dialog.hpp"
#include "tools/current_tool.hpp"
#include "tools/dd_state.hpp"
#include "tools/default_symbol.hpp"
#include "tools/tool_data_pages.hpp"
#include "tools/tool_form.hpp"
#include "tools/tool_library.hpp"
#include "tools/tool_pages.hpp"
#include "tools/tool_records.hpp"
#include "tools/tool_validation.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "tools/tool_utilities.hpp"

#include <cstdio>

namespace {

constexpr int kAccepted = 0, kFailed = -5, kLeft = -1;
constexpr int kTall = 1000;  // screen height in pixels above which the form sits one row lower
constexpr int kGet = 1, kSet = 2;
constexpr int kInternal = 1, kLibrary = 2;
constexpr int kNoHolders = 1, kHolders = 2;
constexpr int kTextSet = 2;
// Changes of the form before the dialog gives up: far beyond a user's, so a script that changes
// items for ever ends.
constexpr int kMaxRounds = 2000;

// What the dialog does next after an answer.
enum class next { again, rebuild, end };

// The items of one build of the form.
struct form_items {
    int name = 0, comment = 0, header = 0, symbol = 0, tech = 0, part_material = 0, more_data = 0, user = 0;
    int tool_colour = 0, holder_colour = 0;
    int holder_first = 0, holder_last = 0;  // the holder block
};

struct holder_snapshot {
    std::array<float, kHolderSlots> bottom{}, top{}, cone{}, total{};
    int count = 0, shank = 0, spindle = 0;
};

class dialog_run {
public:
    dialog_run(int tool_class, int mode, int used) : class_(tool_class), mode_(mode), used_(used) {}
    int run();

private:
    int class_, mode_, used_;
    bool listing_ = false, host_run_ = false;
    bool labels_opened_ = false;
    int form_word_ = 0;
    bool armed_ = false, watch_all_ = false, warned_ = false;
    bool name_watched_ = false, header_hidden_ = false;
    int int_lib_ = kInternal;
    int entry_holder_ = 0;
    std::string entry_name_;
    int tool_colour_entry_ = 1, holder_colour_entry_ = 1;
    int holder_entity_ = -1;
    symbol_choice symbol_;
    int symbol_choice_ = 1;
    std::string name_field_, comment_field_;
    form_cells cells_;
    item_list watch_, follow_;
    form_items items_;
    holder_snapshot holders_;

    int open();
    int mode_setup();
    void read_colours();
    void build(int& status);
    void declare_items(form_builder& form);
    void list_pages();
    next changed_item(int item, int& status);
    next holder_item();
    next accept(int& status);
    void restore_colours();
    void finish();
    bool is_mill() const { return class_ == kMill; }
};

std::string trimmed(std::string_view text)
{
    return dd_trimmed(text.substr(0, std::min<std::size_t>(text.size(), kToolText - 1)));
}

int entity_colour(int id)
{
    int colour = 1, font = 1, status = 0;
    if (id >= 1) {
        eattc(id, kGet, "CO", colour, status);
        if (status == 0) return colour;
    }
    gtmdla(colour, font);
    return colour;
}

void set_colour(int id, int colour)
{
    int status = 0;
    if (id >= 1) eattc(id, kSet, "CO", colour, status);
}

holder_snapshot snapshot()
{
    const holder_set& h = tool_holders();
    return {h.bottom_diameter, h.top_diameter, h.cone_height, h.total_height, h.count, h.shank_mode, h.second_mode};
}

// The header texts: internal or library, "used" when the tool is in tool paths.
std::string header_text(int tool_class, int used, bool library)
{
    std::string name;
    class_name_text(tool_class, name);
    const char* prefix =
        used == 0 ? (library ? "LIB.TOOL:" : "INT.TOOL:") : (library ? "LIB.USED TOOL:" : "INT.USED TOOL:");
    return prefix + name.substr(0, used == 0 ? 11 : 7);
}

int dialog_run::open()
{
    listing_ = mode_ == kDialogListing;
    host_run_ = nu_mod_get_flag() != 0;
    int did = 0, status = 0;
    nu_modl_get_did_init(kToolLabelTable, did);
    if (did == 0) {
        nu_modl_init(kToolLabelTable, tool_labels(), status);
        if (status < 0) return kFailed;
        labels_opened_ = true;
    }
    if (mode_ != 8) read_colours();
    entry_name_ = trimmed(tool_block().TLNAME);
    entry_holder_ = tool_block().HOLDER;
    if (mode_setup() != 0) return kFailed;
    current_tool& t = tool_block();
    t.TLNAME = tool_text(dd_upper(trimmed(t.TLNAME)));
    name_field_ = trimmed(t.TLNAME);
    comment_field_ = trimmed(t.TOLTXT);
    page_choices_reset();
    tool_page_choices& c = page_choices();
    if (is_mill()) {
        c.previous_holder = t.HOLDER;
        c.previous_clear_length = tool_shapes().mill.CLRLNG;
        c.holder_choice = t.holder_mode == 2 ? kHolders : kNoHolders;
        c.holder_params = mode_ == 2 || mode_ == 13 || mode_ == kDialogNewTool ? 2 : 1;
        mill_shape_sync(0);
        if (c.holder_choice == kHolders) tool_shapes().mill.GUGLNG = mill_gauge_length();
    }
    int unused = 0;
    if (armed_) tool_shape_shadow(1, class_, unused);
    int master = t.MSTRID, kind = 9;
    std::string name, path;
    master_info(master, kind, name, path, status);
    symbol_.kind = kind;
    symbol_.name = name;
    symbol_.path = path;
    return 0;
}

void dialog_run::read_colours()
{
    current_tool& t = tool_block();
    const int tool_id = t.IDTOOL >= 1 ? t.IDTOOL : -1;
    int found_class = -1, status = -1;
    tool_header header;
    if (tool_id >= 1) read_tool_entity_header(tool_id, found_class, header, status);
    holder_entity_ = status == 0 ? header.holder_id : -1;
    tool_colours().tool = tool_colour_entry_ = entity_colour(tool_id);
    tool_colours().holder = holder_colour_entry_ = entity_colour(holder_entity_);
}

// The mode's preparation of the current tool. Non-zero when a lookup failed.
int dialog_run::mode_setup()
{
    current_tool& t = tool_block();
    int status = 0, found = 1;
    auto renumber = [&] {
        if (t.HOLDER > 0) holder_number_free(class_, t.HOLDER, status);
    };
    switch (mode_) {
    case 2:
    case kDialogNewTool:
        form_word_ = 1;
        t.TLNAME = tool_text("");
        renumber();
        if (status == 0 && class_ == kAgie) agie_register_free(status);
        t.MSTRID = -1;
        t.TOLTXT = tool_text("No Text");
        t.ISLIBR = -1;
        break;
    case 4:
        form_word_ = t.ISLIBR < 1 ? 2 : 0;
        armed_ = t.ISLIBR < 1 && used_ != 0;
        watch_all_ = t.ISLIBR >= 1;
        break;
    case 7:
        form_word_ = 1;
        t.TLNAME = tool_text("");
        renumber();
        t.ISLIBR = -1;
        break;
    case 8:
    case 12: {
        tool_name_in_use(t.TLNAME, class_, found);
        if (found <= 0) {
            t.ISLIBR = -1;
            t.TLNAME = tool_text("");
        }
        const int old = t.HOLDER;
        int used_number = 1;
        if (old > 0 && mode_ == 8) holder_number_in_use(class_, old, used_number);
        if (used_number < 0) return kFailed;
        if (old > 0 && (mode_ == 12 || used_number == 0)) {
            renumber();
            if (mode_ == 8 && status == 0)
                userrc("NOTE: HOLDER NUMBER CHANGED FROM " + std::to_string(old) + " TO " + std::to_string(t.HOLDER));
        }
        if (mode_ == 12) t.MSTRID = -1;
        form_word_ = t.ISLIBR < 1 ? 1 : 0;
        watch_all_ = t.ISLIBR >= 1;
        break;
    }
    case 9:
        form_word_ = 0;
        if (t.ISLIBR < 1) {
            t.TLNAME = tool_text("");
            name_watched_ = true;
        }
        break;
    case kDialogShow:
    case kDialogListing:
        form_word_ = 0;
        watch_all_ = true;
        break;
    case 13:
    case 14: {
        form_word_ = 1;
        t.HOLDER = mode_ == 13 ? 0 : -1;
        if (mode_ == 13) t.ISLIBR = 0;
        std::string material;
        material_name(mode_ == 13 ? 1 : 2, material);
        t.PMTRAL = tool_text(material);
        if (mode_ == 13) t.MSTRID = -1;
        header_hidden_ = true;
        name_watched_ = mode_ == 14;
        break;
    }
    default: break;
    }
    int_lib_ = t.ISLIBR >= 0 ? kLibrary : kInternal;
    return status < 0 ? kFailed : 0;
}

void dialog_run::declare_items(form_builder& form)
{
    current_tool& t = tool_block();
    items_ = form_items{};
    form.label_page = kDialogLabels;
    items_.name = form.text20(1, name_field_, name_watched_ ? kWatch : 0);
    if (name_watched_ && items_.name > 0 && !form.armed && !form.watch_all) watch_.add(items_.name);
    if (host_run_) {
        items_.comment = form.text20(2, comment_field_);
    } else {
        const std::string comment = trimmed(t.TOLTXT);
        items_.comment = form.line(comment.empty() ? "COMMENT" : comment);
        if (header_hidden_) {
            form.blank();
        } else if (int_lib_ == kLibrary) {
            items_.header =
                form.line(header_text(class_, used_, false) + "@" + header_text(class_, used_, true), int_lib_);
        } else {
            items_.header = form.line(header_text(class_, used_, false));
        }
        std::string text;
        symbol_menu_text(symbol_, mode_, text, symbol_choice_);
        items_.symbol = form.line(text, symbol_choice_);
    }
    tool_class_page(class_, form);
    if (host_run_) return;
    const bool conditions = tool_table_ids().conditions_of(class_) > 0;
    if (conditions)
        items_.tech = form.line("TECH. PARAMS ...");
    else
        form.blank();
    if (conditions && (mode_ == 13 || mode_ == 14)) {
        char text[40];
        std::snprintf(text, sizeof text, "PART MAT.=%.*s", 10, tool_text(t.PMTRAL).c_str());
        items_.part_material = form.line(text);
    } else {
        form.blank();
    }
    items_.more_data = form.line("MORE TOOL DATA ...");
    if (tool_table_ids().table_of(class_ + kUserTypeOffset) >= 1)
        items_.user = form.line("USER DEFINITIONS");
    else
        form.blank();
    if (is_mill() && mill_shows_holders() && !listing_) {
        int status = 0;
        items_.holder_first = form.items + 1;
        holder_page(form, status);
        items_.holder_last = form.items;
        holders_ = snapshot();
    }
}

void dialog_run::build(int& status)
{
    const tool_page_choices& c = page_choices();
    int layout = class_ == kMill || class_ == kCharmille || class_ == kGroove ? 5 : class_ == kMakino ? 3 : 4;
    if (is_mill() && c.holder_choice == kHolders && c.holder_params == 2) layout = tool_holders().count + 7;
    const int row = listing_ ? 22 : modhix() > kTall ? 4 : 3;
    const int column = listing_ ? 4 : 28;
    modint(-1, row, column, layout, status);
    if (status < 0) return;
    if (listing_) {
        ofmod(1, status);
        if (status == 0) ofwric("", status);
        if (status < 0) return;
    }
    cells_.clear();
    watch_.clear();
    follow_.clear();
    form_builder form{cells_, watch_, follow_, kDialogLabels};
    form.armed = armed_;
    form.watch_all = watch_all_;
    form.listing = listing_;
    form.host_run = host_run_;
    declare_items(form);
    if (host_run_) {
        int page_status = 0;
        tool_data_page(class_, mode_, form_word_, page_status);
    }
}

// The listing: the pages behind the buttons are written without interaction.
void dialog_run::list_pages()
{
    int status = 0;
    if (is_mill() && page_choices().holder_choice == kHolders) {
        modint(-1, 18, 5, tool_holders().count + 2, status);
        if (status == 0) ofmod(1, status);
        cells_.clear();
        form_builder form{cells_, watch_, follow_, kHolderLabels};
        form.listing = true;
        if (status == 0) holder_page(form, status);
    }
    tool_data_page(class_, mode_, form_word_, status);
    if (tool_table_ids().conditions_of(class_) > 0) cutting_conditions_page(class_, mode_, form_word_, status);
    if (toolrec_slot_filled(kUserSlot)) user_definitions_page(kUserSlot, mode_, form_word_, status);
}

next dialog_run::holder_item()
{
    tool_page_choices& c = page_choices();
    holder_set& h = tool_holders();
    mill_fields& m = tool_shapes().mill;
    for (int i = 1; i <= h.count; ++i) {
        const int action = c.holder_actions[static_cast<std::size_t>(i)];
        if (action != 1) {
            c.pending_action = action;
            c.pending_holder = i;
            return next::rebuild;
        }
    }
    if (h.shank_mode != holders_.shank || h.second_mode != holders_.spindle) {
        m.GUGLNG = mill_gauge_length();
        return next::rebuild;
    }
    for (int i = 0; i <= std::min(h.count + 1, kHolderSlots - 1); ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (neval(h.total_height[k], holders_.total[k])) m.GUGLNG += h.total_height[k] - holders_.total[k];
        if (neval(h.bottom_diameter[k], holders_.bottom[k]) || neval(h.top_diameter[k], holders_.top[k]) ||
            neval(h.cone_height[k], holders_.cone[k]))
            return next::rebuild;
    }
    holders_ = snapshot();
    return next::again;
}

next dialog_run::changed_item(int item, int& status)
{
    current_tool& t = tool_block();
    if (armed_ && !warned_ && watch_.holds(item)) {
        int changed = 0;
        tool_shape_shadow(2, class_, changed);
        if (changed != 0) {
            userrc("WARNING: TOOL IS IN USE. CHANGE WILL AFFECT TOOLPATHS");
            warned_ = true;
        }
    }
    if (item == items_.name) {
        std::string text = name_field_;
        state_text20_field(kTextSet, text);
        const std::string upper = dd_upper(trimmed(text));
        t.TLNAME = tool_text(upper);
        const bool folded = upper != trimmed(text);
        name_field_ = upper;
        return folded ? next::rebuild : next::again;
    }
    if (item == items_.comment) {
        std::string text = host_run_ ? comment_field_ : t.TOLTXT;
        state_text20_field(kTextSet, text);
        int result = 0;
        if (!host_run_) edit_txt2_text(result);
        state_text20_field(kGet, text);
        t.TOLTXT = tool_text(text);
        comment_field_ = trimmed(t.TOLTXT);
        return next::rebuild;
    }
    if (item == items_.header) {
        const int was = t.ISLIBR >= 0 ? kLibrary : kInternal;
        if (int_lib_ == was) return next::again;
        if (int_lib_ == kInternal) t.ISLIBR = -1;
        if (mode_setup() != 0) {
            status = kFailed;
            return next::end;
        }
        return next::rebuild;
    }
    if (item == items_.part_material) {
        material_choose(2);
        std::string material;
        material_name(2, material);
        t.PMTRAL = tool_text(material);
        return next::rebuild;
    }
    if (follow_.holds(item)) {
        if (is_mill()) {
            if (page_choices().holder_choice == kHolders && t.holder_mode != 2) {
                t.holder_mode = 2;
                tool_shapes().mill.GUGLNG = mill_gauge_length();
            }
            mill_shape_sync(0);
        } else {
            class_choice_sync(class_);
        }
        return next::rebuild;
    }
    if (item == items_.symbol) {
        int changed = 0;
        symbol_menu_action(class_, mode_, symbol_choice_, symbol_, changed);
        return changed != 0 ? next::rebuild : next::again;
    }
    int page_status = 0;
    if (item == items_.more_data)
        tool_data_page(class_, mode_, form_word_, page_status);
    else if (item == items_.tech)
        cutting_conditions_page(class_, mode_, form_word_, page_status);
    else if (item == items_.user)
        user_definitions_page(kUserSlot, mode_, form_word_, page_status);
    if (item == items_.more_data || item == items_.tech || item == items_.user) {
        if (page_status == kFailed) {
            status = kFailed;
            return next::end;
        }
        return next::rebuild;
    }
    const tool_page_choices& c = page_choices();
    if (is_mill() && (item == c.tool_colour_item || item == c.holder_colour_item)) {
        // The entities show the new colour at once (a new tool has none yet).
        if (mode_ != 2 && mode_ != 8) {
            set_colour(t.IDTOOL, tool_colours().tool);
            set_colour(holder_entity_, tool_colours().holder);
        }
        return next::again;
    }
    if (is_mill() && item >= items_.holder_first && item <= items_.holder_last && items_.holder_first > 0)
        return holder_item();
    return next::again;
}

next dialog_run::accept(int& status)
{
    current_tool& t = tool_block();
    if (mode_ == kDialogShow) {
        status = kAccepted;
        return next::end;
    }
    const std::string name = trimmed(t.TLNAME);
    if (name.empty()) {
        userrc("PLEASE ENTER TOOL'S NAME");
        return next::rebuild;
    }
    t.TLNAME = tool_text(name);
    const bool must_be_new = mode_ == 2 || mode_ == kDialogNewTool || mode_ == 7 || mode_ == 8 || mode_ == 12;
    const bool checked_when_changed = (mode_ == 4 || mode_ == 9) && name != entry_name_;
    int found = 1;
    if (must_be_new || checked_when_changed) {
        tool_name_in_use(name, class_, found);
    } else if (mode_ == 13) {
        int id = -1, result = -1;
        tool_find_by_name(name, class_, id, result);
        found = result >= 0 ? 0 : 1;
    }
    if (found < 0) {
        status = kFailed;
        return next::end;
    }
    if (found == 0) {
        userrc("TOOL NAME IS ALREADY IN USE");
        return next::rebuild;
    }
    const bool holder_asked = (mode_ == 2 || mode_ == kDialogNewTool || mode_ == 7 || mode_ == 8 || mode_ == 12) ||
                              (mode_ == 4 && t.HOLDER != entry_holder_);
    if (holder_asked && entry_holder_ > 0 && t.HOLDER > 0) {
        int in_use = 1;
        holder_number_in_use(class_, t.HOLDER, in_use);
        if (in_use < 0) {
            status = kFailed;
            return next::end;
        }
        if (in_use == 0) {
            user1c("WARNING: HOLDER", 'I', t.HOLDER, "IS IN USE");
            int answer = 0;
            irepyc("OK TO CONTINUE?", answer);
            if (answer == -1) {
                status = kLeft;
                return next::end;
            }
            if (answer != 1) return next::rebuild;
        }
    }
    int valid = 0;
    tool_validate(class_, valid);
    if (valid == 0 && is_mill() && page_choices().holder_choice == kHolders) holder_set_validate(valid);
    if (valid != 0) return next::rebuild;
    status = kAccepted;
    return next::end;
}

void dialog_run::restore_colours()
{
    if (!is_mill() || mode_ == 2 || mode_ == 8) return;
    set_colour(tool_block().IDTOOL, tool_colour_entry_);
    set_colour(holder_entity_, holder_colour_entry_);
    tool_colours().tool = tool_colour_entry_;
    tool_colours().holder = holder_colour_entry_;
}

void dialog_run::finish()
{
    symbol_view_remove(symbol_);
    if (is_mill()) mill_shape_sync(1);
    int status = 0;
    if (labels_opened_) nu_modl_rels(kToolLabelTable, status);
    if (!listing_) reset_interaction_mode();
}

int dialog_run::run()
{
    int status = open();
    if (status != 0) {
        finish();
        return status;
    }
    bool rebuild = true;
    for (int round = 0; round < kMaxRounds; ++round) {
        if (rebuild) {
            build(status);
            if (status < 0) break;
            if (host_run_) {
                status = kAccepted;
                break;
            }
            if (listing_) {
                list_pages();
                status = kAccepted;
                break;
            }
        }
        int answer = 0;
        macro_redisplay();
        modifa(0, form_word_, std::span<const int>(watch_.items.data(), static_cast<std::size_t>(watch_.count)),
               answer);
        cells_.store_back();
        symbol_view_remove(symbol_);
        next step = next::again;
        if (answer > 0) {
            step = changed_item(answer, status);
        } else if (answer == 0) {
            step = accept(status);
        } else if (answer == -1 || answer == -2) {
            restore_colours();
            status = answer;
            step = next::end;
        }
        if (step == next::end) break;
        rebuild = step == next::rebuild;
    }
    finish();
    return status;
}

}  // namespace

void tool_dialog(int tool_class, int mode, int used_flag, int& status)
{
    status = kFailed;
    if (tool_class < 1 || tool_class > kToolClasses) return;
    dialog_run run(tool_class, mode, used_flag);
    status = run.run();
}
