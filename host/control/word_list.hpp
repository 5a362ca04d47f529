// The words of one line of the host's tool-path list. Most lines of a long tool path are moves of
// a handful of words, so a line of up to kInlineWords words keeps them inside the object itself
// (24 bytes, no allocation of its own); a longer line keeps them in a block of its own. Lines only
// grow (words are appended or inserted, never removed), so the size alone tells where they are.
#pragma once

#include "host/words.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantu::control {

class word_list {
public:
    using value_type = word;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = word&;
    using const_reference = const word&;
    using iterator = word*;
    using const_iterator = const word*;

    static constexpr std::size_t kInlineWords = 5;

    word_list() = default;
    word_list(std::initializer_list<word> words) { assign(words.begin(), words.end()); }
    word_list(const std::vector<word>& words) { assign(words.data(), words.data() + words.size()); }
    template <std::input_iterator It> word_list(It first, It last) { insert(end(), first, last); }
    word_list(const word_list& other) { assign(other.begin(), other.end()); }
    word_list(word_list&& other) noexcept : size_(other.size_)
    {
        std::memcpy(slots_, other.slots_, sizeof slots_);
        other.size_ = 0;
    }
    word_list& operator=(const word_list& other)
    {
        if (this != &other) {
            release();
            assign(other.begin(), other.end());
        }
        return *this;
    }
    word_list& operator=(word_list&& other) noexcept
    {
        if (this != &other) {
            release();
            size_ = other.size_;
            std::memcpy(slots_, other.slots_, sizeof slots_);
            other.size_ = 0;
        }
        return *this;
    }
    ~word_list() { release(); }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    word* data() { return on_heap() ? heap() : slots_; }
    const word* data() const { return on_heap() ? heap() : slots_; }
    iterator begin() { return data(); }
    iterator end() { return data() + size_; }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + size_; }
    word& operator[](std::size_t i) { return data()[i]; }
    const word& operator[](std::size_t i) const { return data()[i]; }
    word& at(std::size_t i) { return data()[checked(i)]; }
    const word& at(std::size_t i) const { return data()[checked(i)]; }
    word& front() { return data()[0]; }
    const word& front() const { return data()[0]; }
    word& back() { return data()[size_ - 1]; }
    const word& back() const { return data()[size_ - 1]; }

    // Inserts the words [first, last) before `place`; answers where the first of them now stands.
    template <std::input_iterator It> iterator insert(const_iterator place, It first, It last)
    {
        const std::vector<word> added(first, last);  // they may be words of this very list
        const std::size_t at = static_cast<std::size_t>(place - begin());
        open_room(at, added.size());
        std::copy(added.begin(), added.end(), data() + at);
        return data() + at;
    }
    iterator insert(const_iterator place, const word* first, const word* last)
    {
        const std::less<const word*> before;
        if (!before(first, begin()) && before(first, end())) {  // words of this very list
            const std::vector<word> added(first, last);
            return insert(place, added.data(), added.data() + added.size());
        }
        const std::size_t at = static_cast<std::size_t>(place - begin());
        open_room(at, static_cast<std::size_t>(last - first));
        std::copy(first, last, data() + at);
        return data() + at;
    }
    iterator insert(const_iterator place, std::size_t count, word value)
    {
        const std::size_t at = static_cast<std::size_t>(place - begin());
        open_room(at, count);
        std::fill_n(data() + at, count, value);
        return data() + at;
    }
    void push_back(word value) { insert(end(), std::size_t{1}, value); }

    operator std::vector<word>() const { return std::vector<word>(begin(), end()); }

    friend bool operator==(const word_list& a, const word_list& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const word_list& a, const std::vector<word>& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    bool on_heap() const { return size_ > kInlineWords; }
    // On the heap, the first two slots hold the block's address and the third its capacity.
    word* heap() const
    {
        word* block;
        std::memcpy(&block, slots_, sizeof block);
        return block;
    }
    std::size_t capacity() const { return on_heap() ? static_cast<std::uint32_t>(slots_[2]) : kInlineWords; }
    void set_heap(word* block, std::size_t capacity)
    {
        std::memcpy(slots_, &block, sizeof block);
        slots_[2] = static_cast<word>(static_cast<std::uint32_t>(capacity));
    }
    void release()
    {
        if (on_heap()) delete[] heap();
        size_ = 0;
    }
    void assign(const word* first, const word* last)
    {
        open_room(0, static_cast<std::size_t>(last - first));
        std::copy(first, last, data());
    }
    std::size_t checked(std::size_t i) const
    {
        if (i >= size_) throw std::out_of_range("word_list: no word " + std::to_string(i));
        return i;
    }

    // Makes room for count words at `at` (the words from `at` on move up); their values are left
    // to the caller. Outgrowing the room doubles it.
    void open_room(std::size_t at, std::size_t count)
    {
        const std::size_t old_size = size_, new_size = old_size + count;
        if (new_size > capacity()) {
            const std::size_t room = std::max(new_size, 2 * capacity());
            word* block = new word[room];
            const word* old = data();
            std::copy(old, old + at, block);
            std::copy(old + at, old + old_size, block + at + count);
            release();
            set_heap(block, room);
        } else {
            word* words = data();
            std::copy_backward(words + at, words + old_size, words + new_size);
        }
        size_ = static_cast<std::uint32_t>(new_size);
    }

    std::uint32_t size_ = 0;
    word slots_[kInlineWords] = {};
};

}  // namespace vantu::control
