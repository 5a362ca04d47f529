// The display file of the current tool path: every displayed tool-path block is kept under its
// block address, in display-file order, with the attributes in force when it was added and the
// points it was drawn through. The block display registers a block, adds it and draws it with
// ncd_move_to; a procedure's display can be found by its address, deleted, blanked or marked
// for attention by ranges of blocks, and replayed in its place. Arcs and splines get their
// definition before they are added.
//
// Attributes (blank, font, colour, pen) are the host's current ones (host/vantu_ncdisplay.hpp);
// a block starts where the pen stands: the end of the block drawn before it or the last moveto.
#pragma once

// A block address: the list level of the block and the block numbers at levels 1 and 2 (the
// procedure block at level 1, its motion at level 2). (0, 0, 0) is the empty address.
struct ncd_address {
    int level = 0;
    int block1 = 0;
    int block2 = 0;
};

// The display file the module names: that of the current tool path.
inline constexpr int kCurrentDisplayFile = -1;
// Status of ncd_add_registered_block and ncd_add_registered_drill_block that refused the block.
inline constexpr int kNcdAddFailed = 3;

// Opens the current tool path in the display: new blocks go to the end of the file again.
void ncd_open_registered_tool_path();
// Makes a view pointer the one the display file's blocks are shown in.
void ncd_update_current_vptr(int view);

// Registers the address of the next block added.
void ncd_register_block(const ncd_address& address);
// Adds the registered block at the insertion place (after the block added last, or where
// ncd_set_block_position put it) with the current attributes and the pending arc or spline
// definition; the block starts at the pen. Status 0; kNcdAddFailed when no block is registered.
void ncd_add_registered_block(int& status);
// The same for one stroke of a drill cycle, whose attributes come from ncd_add_drill_attrs.
void ncd_add_registered_drill_block(int& status);
// The attributes of a drill stroke packed into one integer (colour, font and pen, under the mask
// of the attributes given).
int ncd_attr_list_to_int(int mask, int colour, int font, int pen);
// Gives the drill stroke added last the packed attributes.
void ncd_add_drill_attrs(int attributes);
// Draws the block added last to the point (three floats): the pen goes there. Status 0; -1 when
// no block was added since the last ncd_move_to or the point is not finite.
void ncd_move_to(const float* point, int& status);

// The arc of the next block added: start angle, swept angle and step angle (radians), centre x
// and y, z and radius. Status 0; -1 for a radius that is not positive or values not finite.
void ncd_update_arc_def(float start_angle, float angle, float step_angle, const float* centre, float z, float radius,
                        int& status);
// The spline of the next block added: order k (2 to 8), n control points (n >= k), n + k knots
// and 3 n coordinates. Status 0 accepted; -1 refused (bad counts or knots).
void ncd_update_spline_def(int order, int count, const float* knots, const float* points, int& status);

// Positions the insertion place. mode 1 with the empty address: the start of the file; mode -1
// with address (1, n): the first block of procedure n; mode 1 or -1 with the address of a motion
// (level 2): after that block; mode kAtProcedureEnd with address (1, n): after the last block of
// procedure n. Status 0; -1 when nothing has the address, for another mode or another display
// file.
inline constexpr int kAtProcedureEnd = 99;
void ncd_set_block_position(int file, int mode, const ncd_address& address, int& status);
// Deletes procedure n with all its blocks (address level 1) or the one block at the address
// (deeper levels); the insertion place stays where the deleted blocks were. Status 0; -1 when
// nothing has that address.
void ncd_delete_block_or_proc(int file, const ncd_address& address, int& status);
// Blanks (blank 1) or shows again (0) procedure n with all its blocks (address level 1) or the
// one block at the address. Status 0; -1 when nothing has that address.
void ncd_set_block_or_proc_blank(int file, const ncd_address& address, int blank, int& status);
// Deletes the display blocks from the block at `first` through the block at `last`, in file
// order whichever of the two comes first. When `last` names no block (the empty address), the
// range runs to the end of first's procedure for a motion (level 2), to the end of the file for
// a top-level block. Status 0, also when `first` names no block (nothing to delete); -1 for
// another display file.
void ncd_delete_blocks(int file, const ncd_address& first, const ncd_address& last, int& status);

// Attention marks: a marked block is shown in the attention colour. Marks (flag 1) or clears (0)
// the blocks from `from` through `to`, in file order whichever comes first; nothing when either
// address names no block.
void ncd_set_blocks_attention(int file, const ncd_address& from, const ncd_address& to, int flag);
// Blanks (flag 1) or shows again (0) the blocks from `from` through `to`, as the marks above.
void ncd_set_blocks_blank(int file, const ncd_address& from, const ncd_address& to, int flag);
// Marks (flag 1) or clears (0) procedure n with all its blocks (address level 1) or the one block
// at the address, as ncd_set_block_or_proc_blank does with blanking. Status 0; -1 when nothing
// has that address.
void ncd_set_block_or_proc_attn(int file, const ncd_address& address, int flag, int& status);

// Display blocks added next take the attributes (font, colour, pen, blank) of the block before
// the insertion place (the first block when it stands at the start), until the display joins the
// tool path again. Nothing changes when the file is empty.
void ncd_set_attrs_as_curr_block(int file);
// The display joins the tool path again after a change of the list: new blocks go to the end of
// the file with the current attributes. Called once after every change.
void ncd_connect_toolpath(int file);
// The insertion place goes after the block added last (nothing when no block was added or it has
// been deleted since).
void ncd_go_last_added_block();

// The block indicated last on the display (a pick of a tool-path block): its address. Status 0;
// -1 when no block was indicated. slpopb takes the pick off the selection list.
void ncd_get_picked(ncd_address& path, int& status);
// The address of the block n places after (n > 0) or before (n < 0) the block indicated last,
// in file order. Status 0; -1 when no block was indicated or no block lies there.
void ncd_get_n_from_picked(int n, ncd_address& path, int& status);

// Draws the blocks added since the last flush (the stand-in keeps every block drawn at once).
void ncd_flush_blocks();
