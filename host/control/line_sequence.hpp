// The sequence that holds the lines of one level of the host's tool-path list: a gap buffer. Its
// elements are addressed by index as in a vector, but the free room sits where the last insertion
// or deletion happened, so inserting or deleting lines next to the previous change moves only the
// lines between the two places: an edit that walks the list and deletes or inserts k lines of n
// costs O(n + k), not O(k n). Reading by index costs one comparison more than a vector's. An empty
// sequence (the sub-list most lines never have) owns nothing: the sequence is one pointer, the
// slots and the gap are allocated with the first line.
#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
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
    line_sequence(const line_sequence& other) : room_(other.room_ ? std::make_unique<room>(*other.room_) : nullptr) {}
    line_sequence& operator=(const line_sequence& other)
    {
        if (this != &other) room_ = other.room_ ? std::make_unique<room>(*other.room_) : nullptr;
        return *this;
    }
    // A sequence moved from is left empty.
    line_sequence(line_sequence&& other) noexcept = default;
    line_sequence& operator=(line_sequence&& other) noexcept = default;
    line_sequence(const std::vector<T>& lines)
        : room_(lines.empty() ? nullptr : std::make_unique<room>(room{lines, lines.size(), lines.size()}))
    {}
    line_sequence(std::initializer_list<T> lines) : line_sequence(std::vector<T>(lines)) {}

    std::size_t size() const { return room_ ? room_->slots.size() - (room_->gap_end - room_->gap_start) : 0; }
    bool empty() const { return size() == 0; }

    T& operator[](std::size_t i) { return room_->slots[slot_of(i)]; }
    const T& operator[](std::size_t i) const { return room_->slots[slot_of(i)]; }
    T& at(std::size_t i) { return (*this)[checked(i)]; }
    const T& at(std::size_t i) const { return (*this)[checked(i)]; }
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
        if (!room_) room_ = std::make_unique<room>();
        move_gap(i);
        if (room_->gap_start == room_->gap_end) widen();
        room_->slots[room_->gap_start++] = std::move(line);
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
        if (count == 0) return {this, from};
        move_gap(from);
        for (std::size_t k = 0; k < count; ++k) room_->slots[room_->gap_end + k] = T{};  // give their memory back
        room_->gap_end += count;
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
    // The slots, the free ones among them [gap_start, gap_end).
    struct room {
        std::vector<T> slots;
        std::size_t gap_start = 0, gap_end = 0;
    };

    std::size_t slot_of(std::size_t i) const
    {
        return i < room_->gap_start ? i : i + (room_->gap_end - room_->gap_start);
    }
    // i itself, or std::out_of_range when no line has that index.
    std::size_t checked(std::size_t i) const
    {
        if (i >= size()) throw std::out_of_range("line_sequence: no line " + std::to_string(i));
        return i;
    }

    // Moves the free room to index i by moving the lines between.
    void move_gap(std::size_t i)
    {
        std::vector<T>& slots = room_->slots;
        std::size_t &gap_start = room_->gap_start, &gap_end = room_->gap_end;
        if (gap_start == gap_end) {  // no free room: nothing to move (a line never moves onto itself)
            gap_start = gap_end = i;
        } else if (i < gap_start) {
            const std::size_t count = gap_start - i;
            std::move_backward(slots.begin() + static_cast<std::ptrdiff_t>(i),
                               slots.begin() + static_cast<std::ptrdiff_t>(gap_start),
                               slots.begin() + static_cast<std::ptrdiff_t>(gap_end));
            gap_start = i;
            gap_end -= count;
        } else if (i > gap_start) {
            const std::size_t count = i - gap_start;
            std::move(slots.begin() + static_cast<std::ptrdiff_t>(gap_end),
                      slots.begin() + static_cast<std::ptrdiff_t>(gap_end + count),
                      slots.begin() + static_cast<std::ptrdiff_t>(gap_start));
            gap_start = i;
            gap_end += count;
        }
    }

    // Widens the room by half (at least 16 slots), the free room staying at gap_start: a long
    // list keeps less unused room than by doubling, and each line is still moved a bounded number
    // of times as the list grows.
    void widen()
    {
        std::vector<T>& slots = room_->slots;
        const std::size_t gap_start = room_->gap_start, gap_end = room_->gap_end;
        const std::size_t grow = std::max<std::size_t>(16, slots.size() / 2);
        std::vector<T> wider(slots.size() + grow);
        std::move(slots.begin(), slots.begin() + static_cast<std::ptrdiff_t>(gap_start), wider.begin());
        std::move(slots.begin() + static_cast<std::ptrdiff_t>(gap_end), slots.end(),
                  wider.begin() + static_cast<std::ptrdiff_t>(gap_end + grow));
        slots = std::move(wider);
        room_->gap_end += grow;
    }

    std::unique_ptr<room> room_;  // null while the sequence has never held a line
};

}  // namespace vantu::control
