#include "core/unit_text.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <ostream>
#include <stdexcept>

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

void UnitText::Release() noexcept {
    if (onHeap()) {
        std::free(heap_.data);
        SetInlineSize(0);
    }
}

UnitText::UnitText(UnitText&& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof(bytes_));
    other.SetInlineSize(0);
}

UnitText& UnitText::operator=(const UnitText& other) {
    if (this != &other) {
        *this = other.view();
    }
    return *this;
}

UnitText& UnitText::operator=(UnitText&& other) noexcept {
    if (this != &other) {
        Release();
        std::memcpy(bytes_, other.bytes_, sizeof(bytes_));
        other.SetInlineSize(0);
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
