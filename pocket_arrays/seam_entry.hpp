// Seams: where a lower folder calls a service of a higher one, it calls through a table of plain
// function pointers declared in the lower folder; the higher folder fills the entries when the
// module is loaded, from a registration object in the file that holds the routines. Tests may put
// doubles in an entry and fill it again afterwards. An entry starts unfilled: called so, it sends
// "<table>: SEAM ENTRY NOT FILLED" to the error channel and answers -1 in a last int& status word
// (and a default value when it returns one), so a forgotten fill is a message, not a crash.
#pragma once

#include <tuple>
#include <type_traits>

// Sends the line of an unfilled entry of the named table to the error channel.
void seam_unfilled(const char* table);

// The unfilled entry of any function-pointer type, for the table named by Table:
//   void (*drawpk)(int mode, int reserved, int& status) = unfilled_seam<kEngineStepsName>{};
template <const char* Table> struct unfilled_seam {
    template <class Result, class... Args> using entry = Result (*)(Args...);

    template <class Result, class... Args> static Result answer(Args... args)
    {
        seam_unfilled(Table);
        if constexpr (sizeof...(Args) > 0) {
            constexpr std::size_t last = sizeof...(Args) - 1;
            if constexpr (std::is_same_v<std::tuple_element_t<last, std::tuple<Args...>>, int&>)
                std::get<last>(std::tie(args...)) = -1;
        }
        ((void)args, ...);
        if constexpr (!std::is_void_v<Result>) return Result{};
    }

    template <class Result, class... Args> constexpr operator entry<Result, Args...>() const
    {
        return &answer<Result, Args...>;
    }
};
