// The pages behind three buttons of the tool dialog: the cutting conditions of the current tool
// (with their automatic update), the further tool data with the tool material, and the fields of
// the class's user record; and the material choice of the dialog's part-material item.
#pragma once

#include <array>
#include <string>

inline constexpr int kListingMode = 11;

// The shown values of the condition page, beside the tool's conditions (never stored).
struct condition_work {
    std::array<float, 5> shown_speed{};     // CRVLOC in the user's speed unit
    std::array<float, 5> feed_per_tooth{};  // feed per tooth, or per revolution; -1 unset
};
condition_work& conditions_shown();

// Flags of cond_auto_update: the rows to recompute (a row whose value stays is cleared).
inline constexpr int kUpdateSpin = 1, kUpdateFeedPerTooth = 2, kUpdateDownStep = 4, kUpdateSideStep = 8;

// The cutting-conditions page of the class (reads and writes current_tool's conditions, reads
// tool_shape_records). Mode 11 lists it without interaction. Status 0, -1 for a class without
// conditions, or the failing status of the page's start.
void cutting_conditions_page(int tool_class, int mode, int& form_word, int& status);
// Recomputes the flagged rows of condition k (1..5) from the tool's diameter and lengths, clamps
// them to their rows' limits and stores them; `columns` is the class's condition count.
void cond_auto_update(int tool_class, int k, int columns, int& flags);
// The tool-data page: the tool material and the values that do not shape the tool. In host-run
// mode it only declares its fields. Status 0, or the failing status of the page's start.
void tool_data_page(int tool_class, int mode, int& form_word, int& status);
// The fields of the user record held in the staging slot. Status 0 (the record kept when the
// page was accepted), -1 / -2 when left, or the failing status of the page's start.
void user_definitions_page(int slot, int mode, int& form_word, int& status);

// The part materials: a menu list and a name list (20 characters each), the narrow-menu flag
// and two indexes into the name list, the part material's (model datum "MTRN") and the one chosen
// last; -1 while none is set.
inline constexpr int kMaxPartMaterials = 20;
struct part_material_lists {
    std::array<std::string, kMaxPartMaterials> menu, names;
    int menu_count = 0, name_count = 0;
    int narrow = 1;
    int part_index = -1, chosen_index = -1;
};
part_material_lists& part_materials();
// Kind 1 asks "MATERIAL FOR PFM:" unless a part material is set; other kinds "CHOOSE MATERIAL:".
void material_choose(int kind);
// The name at the part-material index (kind 1) or the chosen index, 20 characters: an index
// below 0 names entry 0, one beyond the list a blank.
void material_name(int kind, std::string& name);
// The position of the menu entry's name in the name list; the name count when it is absent.
int material_index(int menu_position);
