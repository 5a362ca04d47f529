// Guards of the frames that the stop of an execution (and the host ending a run) may leave by an
// exception: give_back runs its action on every way out, unwind_only only when the frame is left
// by an exception, so that the normal road can keep its own order of steps.
#pragma once

#include <exception>
#include <utility>

template <typename Action> class give_back {
public:
    explicit give_back(Action action) : action_(std::move(action)) {}
    give_back(const give_back&) = delete;
    give_back& operator=(const give_back&) = delete;
    ~give_back() { action_(); }

private:
    Action action_;
};

template <typename Action> class unwind_only {
public:
    explicit unwind_only(Action action) : action_(std::move(action)), depth_(std::uncaught_exceptions()) {}
    unwind_only(const unwind_only&) = delete;
    unwind_only& operator=(const unwind_only&) = delete;
    ~unwind_only()
    {
        if (std::uncaught_exceptions() > depth_) action_();
    }

private:
    Action action_;
    int depth_;
};
