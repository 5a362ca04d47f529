// The sequence that holds the lines of one level of the host's tool-path list: a gap buffer. Its
// elements are addressed by index as in a vector, but the free room sits where the last insertion
// or deletion happened, so inserting or deleting lines next to the previous change moves only the
// lines between the two places: an edit that walks the list and deletes or inserts k lines of n
// costs O(n + k), not O(k n). Reading by index costs one comparison more than a vector's.
#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <type_traits>
#include <utility>
#include <vector>

namespace vantu::control {

template <typename T> class line_sequence {
public:
    // An index into the sequence: a random-access iterator.
    template <bool Constant> class cursor {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using owner_type = std::conditional_t<Constant, const line_sequence, line_sequence>;
        using reference = std::conditional_t<Constant, const T&, T&>;
        using pointer = std::conditional_t<Constant, const T*, T*>;

        cursor() = default;
        cursor(owner_type* owner, std::size_t index) : owner_(owner), index_(index) {}
        operator cursor<true>() const { return {owner_, index_}; }

        reference operator*() const { return (*owner_)[index_]; }
        pointer operator->() const { return &(*owner_)[index_]; }
        reference operator[](difference_type n) const { return (*owner_)[index_ + static_cast<std::size_t>(n)]; }
        cursor& operator++()
        {
            ++index_;
            return *this;
        }
        cursor operator++(int)
        {
            cursor before = *this;
            ++index_;
            return before;
        }
        cursor& operator--()
        {
            --index_;
            return *this;
        }
        cursor operator--(int)
        {
            cursor before = *this;
            --index_;
            return before;
        }
        cursor& operator+=(difference_type n)
        {
            index_ = static_cast<std::size_t>(static_cast<difference_type>(index_) + n);
            return *this;
        }
        cursor& operator-=(difference_type n) { return *this += -n; }
        friend cursor operator+(cursor c, difference_type n) { return c += n; }
        friend cursor operator+(difference_type n, cursor c) { return c += n; }
        friend cursor operator-(cursor c, difference_type n) { return c -= n; }
        friend difference_type operator-(const cursor& a, const cursor& b)
        {
            return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
        }
        friend bool operator==(const cursor& a, const cursor& b) { return a.index_ == b.index_; }
        friend auto operator<=>(const cursor& a, const cursor& b) { return a.index_ <=> b.index_; }
        std::size_t index() const { return index_; }

    private:
        owner_type* owner_ = nullptr;
        std::size_t index_ = 0;
    };
    using iterator = cursor<false>;
    using const_iterator = cursor<true>;
    using value_type = T;
    using size_type = std::size_t;

    line_sequence() = default;
    line_sequence(const line_sequence&) = default;
    line_sequence& operator=(const line_sequence&) = default;
    // A sequence moved from is left empty.
    line_sequence(line_sequence&& other) noexcept
        : slots_(std::move(other.slots_)), gap_start_(other.gap_start_), gap_end_(other.gap_end_)
    {
        other.slots_.clear();
        other.gap_start_ = other.gap_end_ = 0;
    }
    line_sequence& operator=(line_sequence&& other) noexcept
    {
        if (this != &other) {
            slots_ = std::move(other.slots_);
            gap_start_ = other.gap_start_;
            gap_end_ = other.gap_end_;
            other.slots_.clear();
            other.gap_start_ = other.gap_end_ = 0;
        }
        return *this;
    }
    line_sequence(const std::vector<T>& lines) : slots_(lines), gap_start_(lines.size()), gap_end_(lines.size()) {}
    line_sequence(std::initializer_list<T> lines) : line_sequence(std::vector<T>(lines)) {}

    std::size_t size() const { return slots_.size() - (gap_end_ - gap_start_); }
    bool empty() const { return size() == 0; }

    T& operator[](std::size_t i) { return slots_[slot_of(i)]; }
    const T& operator[](std::size_t i) const { return slots_[slot_of(i)]; }
    T& at(std::size_t i) { return slots_.at(checked_slot(i)); }
    const T& at(std::size_t i) const { return slots_.at(checked_slot(i)); }
    T& front() { return (*this)[0]; }
    const T& front() const { return (*this)[0]; }
    T& back() { return (*this)[size() - 1]; }
    const T& back() const { return (*this)[size() - 1]; }

    iterator begin() { return {this, 0}; }
    iterator end() { return {this, size()}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    iterator insert(const_iterator place, T line)
    {
        const std::size_t i = place.index();
        move_gap(i);
        if (gap_start_ == gap_end_) widen();
        slots_[gap_start_++] = std::move(line);
        return {this, i};
    }
    void push_back(T line) { insert(end(), std::move(line)); }
    template <typename... Args> T& emplace_back(Args&&... args)
    {
        push_back(T(std::forward<Args>(args)...));
        return back();
    }
    // Deletes the lines [first, last); the free room then sits at first.
    iterator erase(const_iterator first, const_iterator last)
    {
        const std::size_t from = first.index(), count = last.index() - from;
        move_gap(from);
        for (std::size_t k = 0; k < count; ++k) slots_[gap_end_ + k] = T{};  // give their memory back
        gap_end_ += count;
        return {this, from};
    }
    iterator erase(const_iterator place) { return erase(place, place + 1); }
    void clear() { *this = line_sequence{}; }
    void reserve(std::size_t) {}

    // The lines as a vector (the control view's copies).
    operator std::vector<T>() const { return std::vector<T>(begin(), end()); }

    friend bool operator==(const line_sequence& a, const line_sequence& b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }

private:
    std::size_t slot_of(std::size_t i) const { return i < gap_start_ ? i : i + (gap_end_ - gap_start_); }
    std::size_t checked_slot(std::size_t i) const { return i < size() ? slot_of(i) : slots_.size(); }

    // Moves the free room to index i by moving the lines between.
    void move_gap(std::size_t i)
    {
        if (gap_start_ == gap_end_) {  // no free room: nothing to move (a line never moves onto itself)
            gap_start_ = gap_end_ = i;
        } else if (i < gap_start_) {
            const std::size_t count = gap_start_ - i;
            std::move_backward(slots_.begin() + static_cast<std::ptrdiff_t>(i),
                               slots_.begin() + static_cast<std::ptrdiff_t>(gap_start_),
                               slots_.begin() + static_cast<std::ptrdiff_t>(gap_end_));
            gap_start_ = i;
            gap_end_ -= count;
        } else if (i > gap_start_) {
            const std::size_t count = i - gap_start_;
            std::move(slots_.begin() + static_cast<std::ptrdiff_t>(gap_end_),
                      slots_.begin() + static_cast<std::ptrdiff_t>(gap_end_ + count),
                      slots_.begin() + static_cast<std::ptrdiff_t>(gap_start_));
            gap_start_ = i;
            gap_end_ += count;
        }
    }

    // Doubles the room (at least 16 slots), the free room staying at gap_start_.
    void widen()
    {
        const std::size_t grow = std::max<std::size_t>(16, slots_.size());
        std::vector<T> wider(slots_.size() + grow);
        std::move(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(gap_start_), wider.begin());
        std::move(slots_.begin() + static_cast<std::ptrdiff_t>(gap_end_), slots_.end(),
                  wider.begin() + static_cast<std::ptrdiff_t>(gap_end_ + grow));
        slots_ = std::move(wider);
        gap_end_ += grow;
    }

    std::vector<T> slots_;
    std::size_t gap_start_ = 0, gap_end_ = 0;  // the free slots [gap_start_, gap_end_)
};

}  // namespace vantu::control
