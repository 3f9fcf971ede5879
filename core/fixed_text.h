#pragma once
// A short ASCII text held as UTF-16 code units in place, without the heap:
// the texts of numbers are at most a few dozen characters, and building them
// in a fixed buffer keeps a calculation free of allocations. Internal to the
// core.

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel {

template <std::size_t Capacity>
class FixedText {
public:
    static constexpr std::size_t kCapacity = Capacity;

    std::u16string_view view() const { return {data_.data(), size_}; }
    operator std::u16string_view() const { return view(); }
    operator std::u16string() const { return std::u16string(view()); }
    friend bool operator==(const FixedText& a, std::u16string_view b) { return a.view() == b; }

    // Every append is checked: a text that would outgrow its buffer is a
    // fault of the caller's size reckoning, never silently cut.
    void Put(char ascii) {
        if (size_ == Capacity) throw std::length_error("FixedText: capacity exceeded");
        data_[size_++] = static_cast<char16_t>(ascii);
    }
    void Put(std::string_view ascii) {
        for (char c : ascii) Put(c);
    }
    void Repeat(char ascii, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) Put(ascii);
    }

private:
    std::array<char16_t, Capacity> data_{};
    std::size_t size_ = 0;
};

}  // namespace quorvel
