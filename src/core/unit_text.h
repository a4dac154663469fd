#pragma once

// The text of a unit's field: 16 bytes where a std::string takes 32. Up to 15 bytes are kept in
// place, a longer text in one heap block of its exact size. A full table has 25000 units of 15
// texts each, most of them short or empty, so the table's rows take half the memory and a
// loaded course touches half the pages. It reads like a std::string_view and converts to a
// std::string wherever one is asked for; a change builds the new text and stores it whole.
//
// A loader may keep the longer texts of a whole table in one TextArena instead (AssignKept): the
// text then points into the arena, which its table keeps as long as the rows. Such a text never
// follows a move out of place: moving it makes a copy of its own, so that a unit taken out of
// its table never points into an arena that may go first.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace dyd {

// Bytes for the texts of one table, kept until the arena is cleared: blocks filled one after
// another, each text followed by a NUL. A copy of an arena starts empty (the copied texts own
// their bytes), and assigning one arena to another keeps the bytes the target holds.
class TextArena {
  public:
    TextArena() = default;
    TextArena(const TextArena&) noexcept {}
    TextArena& operator=(const TextArena&) noexcept { return *this; }
    TextArena(TextArena&& other) noexcept;
    TextArena& operator=(TextArena&& other) noexcept;
    ~TextArena() { Clear(); }

    // A stable copy of text with a NUL after it.
    std::string_view Keep(std::string_view text);
    void Clear() noexcept;
    // The bytes taken from the system.
    std::size_t capacity() const noexcept { return held_; }

  private:
    static constexpr std::size_t kBlock = std::size_t{64} << 10;
    struct Block {
        Block* previous;
    };
    Block* last_ = nullptr;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t held_ = 0;
};

class UnitText {
  public:
    static constexpr std::size_t npos = std::string_view::npos;
    static constexpr std::size_t kInlineCapacity = 15;

    UnitText() noexcept { SetInlineSize(0); }
    UnitText(std::string_view text) { Assign(text); }           // NOLINT(google-explicit-constructor)
    UnitText(const std::string& text) { Assign(text); }         // NOLINT(google-explicit-constructor)
    UnitText(const char* text) { Assign(std::string_view(text)); }  // NOLINT
    UnitText(const UnitText& other) { Assign(other.view()); }
    UnitText(UnitText&& other) noexcept;
    ~UnitText() { Release(); }

    // Stores text in place when it fits, else in the arena, which must outlive this text.
    void AssignKept(std::string_view text, TextArena& arena);
    // The same text as other, which was stored with AssignKept in an arena that outlives this
    // text; no bytes are copied.
    void ShareKept(const UnitText& other);

    UnitText& operator=(const UnitText& other);
    UnitText& operator=(UnitText&& other) noexcept;
    UnitText& operator=(std::string_view text);
    UnitText& operator=(const std::string& text) { return *this = std::string_view(text); }
    UnitText& operator=(const char* text) { return *this = std::string_view(text); }

    std::string_view view() const noexcept {
        return external() ? std::string_view(heap_.data, heap_.size)
                        : std::string_view(bytes_, InlineSize());
    }
    operator std::string_view() const noexcept { return view(); }  // NOLINT
    std::string str() const { return std::string(view()); }
    operator std::string() const { return str(); }  // NOLINT

    bool empty() const noexcept { return size() == 0; }
    std::size_t size() const noexcept { return external() ? heap_.size : InlineSize(); }
    std::size_t length() const noexcept { return size(); }
    const char* data() const noexcept { return external() ? heap_.data : bytes_; }
    const char* c_str() const noexcept { return data(); }  // always ends in a NUL
    char operator[](std::size_t i) const noexcept { return data()[i]; }
    char front() const noexcept { return data()[0]; }
    char back() const noexcept { return data()[size() - 1]; }
    const char* begin() const noexcept { return data(); }
    const char* end() const noexcept { return data() + size(); }

    std::size_t find(std::string_view what, std::size_t from = 0) const noexcept {
        return view().find(what, from);
    }
    std::size_t find(char what, std::size_t from = 0) const noexcept {
        return view().find(what, from);
    }
    std::size_t rfind(std::string_view what, std::size_t from = npos) const noexcept {
        return view().rfind(what, from);
    }
    std::size_t rfind(char what, std::size_t from = npos) const noexcept {
        return view().rfind(what, from);
    }
    std::size_t find_first_of(std::string_view any, std::size_t from = 0) const noexcept {
        return view().find_first_of(any, from);
    }
    std::size_t find_first_of(char what, std::size_t from = 0) const noexcept {
        return view().find_first_of(what, from);
    }
    std::size_t find_first_not_of(std::string_view any, std::size_t from = 0) const noexcept {
        return view().find_first_not_of(any, from);
    }
    std::size_t find_last_of(std::string_view any, std::size_t from = npos) const noexcept {
        return view().find_last_of(any, from);
    }
    std::size_t find_last_not_of(std::string_view any, std::size_t from = npos) const noexcept {
        return view().find_last_not_of(any, from);
    }
    bool starts_with(std::string_view prefix) const noexcept { return view().starts_with(prefix); }
    bool starts_with(char c) const noexcept { return view().starts_with(c); }
    bool ends_with(std::string_view suffix) const noexcept { return view().ends_with(suffix); }
    bool ends_with(char c) const noexcept { return view().ends_with(c); }
    int compare(std::string_view other) const noexcept { return view().compare(other); }
    std::string substr(std::size_t from = 0, std::size_t count = npos) const {
        return std::string(view().substr(from, count));
    }

    // Changes: the new text is built and stored whole.
    UnitText& assign(std::string_view text) { return *this = text; }
    UnitText& assign(const char* text, std::size_t count) {
        return *this = std::string_view(text, count);
    }
    void clear() noexcept;
    UnitText& operator+=(std::string_view tail);
    UnitText& operator+=(char c) { return *this += std::string_view(&c, 1); }
    UnitText& append(std::string_view tail) { return *this += tail; }
    void push_back(char c) { *this += c; }
    void pop_back() { *this = view().substr(0, size() - 1); }
    UnitText& erase(std::size_t from = 0, std::size_t count = npos);
    UnitText& insert(std::size_t at, std::string_view text);
    UnitText& replace(std::size_t from, std::size_t count, std::string_view text);
    void resize(std::size_t count, char fill = '\0');

    friend bool operator==(const UnitText& a, const UnitText& b) noexcept {
        return a.view() == b.view();
    }
    friend bool operator==(const UnitText& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const UnitText& a, const std::string& b) noexcept {
        return a.view() == std::string_view(b);
    }
    friend bool operator==(const UnitText& a, const char* b) noexcept {
        return a.view() == std::string_view(b);
    }
    friend std::strong_ordering operator<=>(const UnitText& a, const UnitText& b) noexcept {
        return a.view() <=> b.view();
    }
    friend std::strong_ordering operator<=>(const UnitText& a, std::string_view b) noexcept {
        return a.view() <=> b;
    }
    friend std::strong_ordering operator<=>(const UnitText& a, const std::string& b) noexcept {
        return a.view() <=> std::string_view(b);
    }
    friend std::strong_ordering operator<=>(const UnitText& a, const char* b) noexcept {
        return a.view() <=> std::string_view(b);
    }

  private:
    // bytes_[15] tells the form: 15 - size for a text in place (so that a text of 15 bytes ends
    // in the NUL it needs), kOnHeap for a text in heap_ that this text owns, kKept for one in
    // an arena.
    static constexpr unsigned char kOnHeap = 0x80;
    static constexpr unsigned char kKept = 0x81;
    struct Heap {
        char* data;
        std::uint32_t size;
    };

    bool onHeap() const noexcept { return static_cast<unsigned char>(bytes_[15]) == kOnHeap; }
    bool kept() const noexcept { return static_cast<unsigned char>(bytes_[15]) == kKept; }
    bool external() const noexcept { return static_cast<unsigned char>(bytes_[15]) >= kOnHeap; }
    void TakeFrom(UnitText& other);
    std::size_t InlineSize() const noexcept {
        return kInlineCapacity - static_cast<unsigned char>(bytes_[15]);
    }
    void SetInlineSize(std::size_t size) noexcept {
        bytes_[size] = '\0';
        bytes_[15] = static_cast<char>(kInlineCapacity - size);
    }
    void Assign(std::string_view text);
    void Release() noexcept {
        if (onHeap()) {
            FreeHeap();
        }
        if (external()) {
            SetInlineSize(0);
        }
    }
    void FreeHeap() noexcept;

    union {
        Heap heap_;
        char bytes_[16];
    };
};

static_assert(sizeof(UnitText) == 16);

std::string operator+(const UnitText& a, const UnitText& b);
std::string operator+(const UnitText& a, std::string_view b);
std::string operator+(std::string_view a, const UnitText& b);
std::string operator+(const UnitText& a, const std::string& b);
std::string operator+(const std::string& a, const UnitText& b);
std::string operator+(std::string&& a, const UnitText& b);
std::string operator+(const UnitText& a, const char* b);
std::string operator+(const char* a, const UnitText& b);
std::string operator+(const UnitText& a, char b);
std::string operator+(char a, const UnitText& b);
std::ostream& operator<<(std::ostream& out, const UnitText& text);

}  // namespace dyd

template <>
struct std::hash<dyd::UnitText> {
    std::size_t operator()(const dyd::UnitText& text) const noexcept {
        return std::hash<std::string_view>()(text.view());
    }
};
