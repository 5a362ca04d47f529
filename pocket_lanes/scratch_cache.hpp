// Scratch values kept from one call of a hot routine to the next, so that the routine does not
// allocate (and first-touch) them again on every call. Used by the lane engine (its level table)
// and the single offset (its piece sets' columns).
#pragma once

// One kept value, owned by the routine that declares it (a function-local static). It holds what
// its last user left: a user sets whatever it reads before reading it.
template <class T> struct scratch_cache {
    T value{};
    bool taken = false;
};

// The kept value for the time of one call; a nested call, which finds it taken, works on a fresh
// value of its own.
template <class T> class scratch_lease {
public:
    explicit scratch_lease(scratch_cache<T>& cache) : cache_(cache.taken ? nullptr : &cache)
    {
        if (cache_ != nullptr) cache_->taken = true;
    }
    ~scratch_lease()
    {
        if (cache_ != nullptr) cache_->taken = false;
    }
    scratch_lease(const scratch_lease&) = delete;
    scratch_lease& operator=(const scratch_lease&) = delete;
    T& get() { return cache_ != nullptr ? cache_->value : own_; }

private:
    scratch_cache<T>* cache_;
    T own_{};
};
