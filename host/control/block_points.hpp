// The points of one block of the tool path's display file. Nearly every block of a long tool path
// is a move, drawn from the end of the block before it to its own end, whose coordinates came from
// the tool path's single-precision words. So a block of up to kInlinePoints points that are all
// single-precision values keeps them inside the object itself as floats (no allocation of its own,
// half the room of doubles); any other point (an arc's or a spline's points, computed in double
// precision) or a longer run moves the block's points into a block of their own as doubles. A
// point is kept as a float only when the float is the same number, so every point reads back as
// it was given. Reads as a vector of points, by value.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <span>

namespace vantu::control {

class block_points {
public:
    using point = std::array<double, 3>;
    using value_type = point;
    using size_type = std::size_t;

    static constexpr std::uint32_t kInlinePoints = 2;

    // Walks the points by value (a point inside the block is a float triple, not a point).
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = point;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = point;

        const_iterator() = default;
        const_iterator(const block_points* owner, std::size_t at) : owner_(owner), at_(at) {}
        point operator*() const { return (*owner_)[at_]; }
        const_iterator& operator++()
        {
            ++at_;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++at_;
            return before;
        }
        const_iterator operator+(std::ptrdiff_t n) const { return {owner_, at_ + static_cast<std::size_t>(n)}; }
        std::ptrdiff_t operator-(const const_iterator& other) const
        {
            return static_cast<std::ptrdiff_t>(at_) - static_cast<std::ptrdiff_t>(other.at_);
        }
        bool operator==(const const_iterator& other) const { return at_ == other.at_; }
        std::size_t index() const { return at_; }

    private:
        const block_points* owner_ = nullptr;
        std::size_t at_ = 0;
    };
    using iterator = const_iterator;

    block_points() = default;
    block_points(const block_points& other) { copy_from(other); }
    block_points(block_points&& other) noexcept { take(other); }
    block_points& operator=(const block_points& other)
    {
        if (this != &other) {
            clear();
            copy_from(other);
        }
        return *this;
    }
    block_points& operator=(block_points&& other) noexcept
    {
        if (this != &other) {
            clear();
            take(other);
        }
        return *this;
    }
    ~block_points() { clear(); }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Whether the points are kept inside the block as floats.
    bool inline_floats() const { return capacity_ == 0; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }
    point operator[](std::size_t i) const
    {
        if (!inline_floats()) return wide_[i];
        return {narrow_[i][0], narrow_[i][1], narrow_[i][2]};
    }
    point front() const { return (*this)[0]; }
    point back() const { return (*this)[size_ - 1]; }
    bool operator==(std::span<const point> other) const
    {
        return std::equal(begin(), end(), other.begin(), other.end());
    }

    // Replaces point i.
    void set(std::size_t i, const point& p)
    {
        if (inline_floats() && !exact_float(p)) widen(size_);
        put(i, p);
    }
    void push_back(const point& p) { insert(end(), &p, &p + 1); }
    void insert(const_iterator at, const point& p) { insert(at, &p, &p + 1); }
    // Inserts [first, last) before `at`; the range must not lie in this block's own points.
    template <std::forward_iterator It> void insert(const_iterator at, It first, It last)
    {
        const std::size_t place = at.index();
        const auto count = static_cast<std::size_t>(std::distance(first, last));
        const std::size_t wanted = size_ + count;
        if (!inline_floats() || wanted > kInlinePoints || !std::all_of(first, last, exact_float)) widen(wanted);
        for (std::size_t i = size_; i-- > place;) move_point(i, i + count);
        size_ = static_cast<std::uint32_t>(wanted);
        for (std::size_t i = place; first != last; ++first, ++i) put(i, *first);
    }
    // Empties the block and gives back its own allocation.
    void clear()
    {
        if (!inline_floats()) ::operator delete(wide_);
        size_ = 0;
        capacity_ = 0;
    }

private:
    using float_point = std::array<float, 3>;

    static bool exact_float(const point& p)
    {
        return std::all_of(p.begin(), p.end(),
                           [](double v) { return static_cast<double>(static_cast<float>(v)) == v; });
    }
    void put(std::size_t i, const point& p)
    {
        if (inline_floats())
            narrow_[i] = {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
        else
            wide_[i] = p;
    }
    void move_point(std::size_t from, std::size_t to)
    {
        if (inline_floats())
            narrow_[to] = narrow_[from];
        else
            wide_[to] = wide_[from];
    }
    // Points kept as doubles in a block of their own with room for at least `wanted` of them,
    // at least doubling the room of a longer run.
    void widen(std::size_t wanted)
    {
        if (!inline_floats() && wanted <= capacity_) return;
        const std::size_t room = std::max<std::size_t>({wanted, 2 * std::size_t{capacity_}, kInlinePoints});
        auto* moved = static_cast<point*>(::operator new(room * sizeof(point)));
        for (std::size_t i = 0; i < size_; ++i) moved[i] = (*this)[i];
        if (!inline_floats()) ::operator delete(wide_);
        wide_ = moved;
        capacity_ = static_cast<std::uint32_t>(room);
    }
    void copy_from(const block_points& other)
    {
        if (other.inline_floats()) {
            std::memcpy(narrow_, other.narrow_, sizeof narrow_);
            size_ = other.size_;
            return;
        }
        widen(other.size_);
        std::memcpy(wide_, other.wide_, other.size_ * sizeof(point));
        size_ = other.size_;
    }
    void take(block_points& other)
    {
        size_ = other.size_;
        capacity_ = other.capacity_;
        if (other.inline_floats())
            std::memcpy(narrow_, other.narrow_, sizeof narrow_);
        else
            wide_ = other.wide_;
        other.size_ = 0;
        other.capacity_ = 0;
    }

    union {
        float_point narrow_[kInlinePoints]{};
        point* wide_;
    };
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;  // 0: the points are inside the block as floats
};

}  // namespace vantu::control
