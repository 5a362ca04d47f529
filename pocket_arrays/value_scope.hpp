// A word of a state block set for the life of a scope: the engine's switches that one call turns
// on for the calls beneath it, given back however the scope ends (the user's STOP included).
#pragma once

template <typename T> class value_scope {
public:
    value_scope(T& place, T value) : place_(place), kept_(place) { place_ = value; }
    ~value_scope() { place_ = kept_; }
    value_scope(const value_scope&) = delete;
    value_scope& operator=(const value_scope&) = delete;

private:
    T& place_;
    T kept_;
};
