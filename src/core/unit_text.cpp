#include "core/unit_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace dyd {

void UnitText::Assign(std::string_view text) {
    if (text.size() <= kInlineCapacity) {
        if (!text.empty()) {
            std::memcpy(bytes_, text.data(), text.size());
        }
        SetInlineSize(text.size());
        return;
    }
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("text too long");
    }
    auto* data = static_cast<char*>(std::malloc(text.size() + 1));
    if (data == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(data, text.data(), text.size());
    data[text.size()] = '\0';
    heap_.data = data;
    heap_.size = static_cast<std::uint32_t>(text.size());
    bytes_[15] = static_cast<char>(kOnHeap);
}

void UnitText::FreeHeap() noexcept { std::free(heap_.data); }

TextArena::TextArena(TextArena&& other) noexcept
    : last_(std::exchange(other.last_, nullptr)),
      next_(std::exchange(other.next_, nullptr)),
      left_(std::exchange(other.left_, 0)),
      held_(std::exchange(other.held_, 0)) {}

TextArena& TextArena::operator=(TextArena&& other) noexcept {
    if (this != &other) {
        Clear();
        last_ = std::exchange(other.last_, nullptr);
        next_ = std::exchange(other.next_, nullptr);
        left_ = std::exchange(other.left_, 0);
        held_ = std::exchange(other.held_, 0);
    }
    return *this;
}

std::string_view TextArena::Keep(std::string_view text) {
    const std::size_t needed = text.size() + 1;
    if (needed > left_) {
        const std::size_t bytes = std::max(kBlock, needed + sizeof(Block));
        auto* block = static_cast<Block*>(std::malloc(bytes));
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        block->previous = last_;
        last_ = block;
        next_ = reinterpret_cast<char*>(block + 1);
        left_ = bytes - sizeof(Block);
        held_ += bytes;
    }
    char* at = next_;
    std::memcpy(at, text.data(), text.size());
    at[text.size()] = '\0';
    next_ += needed;
    left_ -= needed;
    return {at, text.size()};
}

void TextArena::Clear() noexcept {
    while (last_ != nullptr) {
        Block* previous = last_->previous;
        std::free(last_);
        last_ = previous;
    }
    next_ = nullptr;
    left_ = 0;
    held_ = 0;
}

void UnitText::AssignKept(std::string_view text, TextArena& arena) {
    if (text.size() <= kInlineCapacity) {
        if (!external()) {
            // In place, from wherever the text is (it may be this one's own bytes).
            std::memmove(bytes_, text.data(), text.size());
            SetInlineSize(text.size());
            return;
        }
        *this = text;
        return;
    }
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("text too long");
    }
    const std::string_view kept = arena.Keep(text);
    Release();
    heap_.data = const_cast<char*>(kept.data());
    heap_.size = static_cast<std::uint32_t>(kept.size());
    bytes_[15] = static_cast<char>(kKept);
}

void UnitText::ShareKept(const UnitText& other) {
    if (other.kept()) {
        Release();
        std::memcpy(bytes_, other.bytes_, sizeof(bytes_));
    } else {
        *this = other;
    }
}

// Takes other's text: an owned or in-place text moves as it is, a kept one is copied, since this
// text may outlive the arena.
void UnitText::TakeFrom(UnitText& other) {
    if (other.kept()) {
        Assign(other.view());
    } else {
        std::memcpy(bytes_, other.bytes_, sizeof(bytes_));
    }
    other.SetInlineSize(0);
}

UnitText::UnitText(UnitText&& other) noexcept { TakeFrom(other); }

UnitText& UnitText::operator=(const UnitText& other) {
    if (this != &other) {
        *this = other.view();
    }
    return *this;
}

UnitText& UnitText::operator=(UnitText&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
    }
    return *this;
}

UnitText& UnitText::operator=(std::string_view text) {
    // The text may lie inside this one: it is copied before the old one goes.
    UnitText fresh(text);
    return *this = std::move(fresh);
}

void UnitText::clear() noexcept {
    Release();
    SetInlineSize(0);
}

UnitText& UnitText::operator+=(std::string_view tail) {
    std::string joined(view());
    joined += tail;
    return *this = std::string_view(joined);
}

UnitText& UnitText::erase(std::size_t from, std::size_t count) {
    std::string changed(view());
    changed.erase(from, count);
    return *this = std::string_view(changed);
}

UnitText& UnitText::insert(std::size_t at, std::string_view text) {
    std::string changed(view());
    changed.insert(at, text);
    return *this = std::string_view(changed);
}

UnitText& UnitText::replace(std::size_t from, std::size_t count, std::string_view text) {
    std::string changed(view());
    changed.replace(from, count, text);
    return *this = std::string_view(changed);
}

void UnitText::resize(std::size_t count, char fill) {
    std::string changed(view());
    changed.resize(count, fill);
    *this = std::string_view(changed);
}

namespace {

std::string Join(std::string_view a, std::string_view b) {
    std::string joined;
    joined.reserve(a.size() + b.size());
    joined.append(a);
    joined.append(b);
    return joined;
}

}  // namespace

std::string operator+(const UnitText& a, const UnitText& b) { return Join(a.view(), b.view()); }
std::string operator+(const UnitText& a, std::string_view b) { return Join(a.view(), b); }
std::string operator+(std::string_view a, const UnitText& b) { return Join(a, b.view()); }
std::string operator+(const UnitText& a, const std::string& b) { return Join(a.view(), b); }
std::string operator+(const std::string& a, const UnitText& b) { return Join(a, b.view()); }
std::string operator+(std::string&& a, const UnitText& b) {
    a.append(b.view());
    return std::move(a);
}
std::string operator+(const UnitText& a, const char* b) { return Join(a.view(), b); }
std::string operator+(const char* a, const UnitText& b) { return Join(a, b.view()); }
std::string operator+(const UnitText& a, char b) { return Join(a.view(), std::string_view(&b, 1)); }
std::string operator+(char a, const UnitText& b) { return Join(std::string_view(&a, 1), b.view()); }

std::ostream& operator<<(std::ostream& out, const UnitText& text) {
    return out << text.view();
}

}  // namespace dyd
