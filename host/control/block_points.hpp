// The points of one block of the tool path's display file. Nearly every block of a long tool path
// is a move, drawn from the end of the block before it to its own end, so a block of up to
// kInlinePoints points keeps them inside the object itself (no allocation of its own); an arc's or
// a spline's longer run of points moves into a block of its own. Reads as a vector of points.
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
    using iterator = point*;
    using const_iterator = const point*;

    static constexpr std::uint32_t kInlinePoints = 2;

    block_points() = default;
    block_points(const block_points& other) { insert(end(), other.begin(), other.end()); }
    block_points(block_points&& other) noexcept { take(other); }
    block_points& operator=(const block_points& other)
    {
        if (this != &other) {
            clear();
            insert(end(), other.begin(), other.end());
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
    point* data() { return on_heap() ? heap_ : slots_; }
    const point* data() const { return on_heap() ? heap_ : slots_; }
    iterator begin() { return data(); }
    iterator end() { return data() + size_; }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + size_; }
    point& operator[](std::size_t i) { return data()[i]; }
    const point& operator[](std::size_t i) const { return data()[i]; }
    point& front() { return data()[0]; }
    const point& front() const { return data()[0]; }
    point& back() { return data()[size_ - 1]; }
    const point& back() const { return data()[size_ - 1]; }
    operator std::span<const point>() const { return {data(), size_}; }
    bool operator==(std::span<const point> other) const
    {
        return std::equal(begin(), end(), other.begin(), other.end());
    }

    void push_back(const point& p) { insert(end(), &p, &p + 1); }
    iterator insert(const_iterator at, const point& p) { return insert(at, &p, &p + 1); }
    // Inserts [first, last) before `at`; the range must not lie in this block's own points.
    template <std::forward_iterator It> iterator insert(const_iterator at, It first, It last)
    {
        const auto place = static_cast<std::size_t>(at - data());
        const auto count = static_cast<std::size_t>(std::distance(first, last));
        reserve(size_ + count);
        point* p = data();
        std::memmove(p + place + count, p + place, (size_ - place) * sizeof(point));
        std::copy(first, last, p + place);
        size_ += static_cast<std::uint32_t>(count);
        return p + place;
    }
    // Empties the block and gives back its own allocation.
    void clear()
    {
        if (on_heap()) ::operator delete(heap_);
        size_ = 0;
        capacity_ = kInlinePoints;
    }

private:
    bool on_heap() const { return capacity_ > kInlinePoints; }

    // Room for at least `wanted` points, at least doubling the room of a longer run.
    void reserve(std::size_t wanted)
    {
        if (wanted <= capacity_) return;
        const std::size_t room = std::max<std::size_t>(wanted, 2 * std::size_t{capacity_});
        auto* moved = static_cast<point*>(::operator new(room * sizeof(point)));
        std::memcpy(moved, data(), size_ * sizeof(point));
        if (on_heap()) ::operator delete(heap_);
        heap_ = moved;
        capacity_ = static_cast<std::uint32_t>(room);
    }
    void take(block_points& other)
    {
        size_ = other.size_;
        capacity_ = other.capacity_;
        if (other.on_heap())
            heap_ = other.heap_;
        else
            std::memcpy(slots_, other.slots_, size_ * sizeof(point));
        other.size_ = 0;
        other.capacity_ = kInlinePoints;
    }

    union {
        point slots_[kInlinePoints];
        point* heap_;
    };
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = kInlinePoints;
};

}  // namespace vantu::control
