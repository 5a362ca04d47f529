// The one instance of a module state block, made on first use and kept for the session. The
// getters of the tool and data-dictionary blocks (tool_block, dd_type, ...) answer it, each from
// its own .cpp file, so every block keeps a single definition behind a single function.
#pragma once

template <class Block> Block& module_block()
{
    static Block block;
    return block;
}
