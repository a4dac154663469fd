#pragma once

// A fixed-size table of rows that start as all zero bytes, for the large per-unit tables: its
// memory comes fresh from the system (calloc for small tables), whose pages the kernel hands out
// already zeroed, and nothing writes the zeros again, so a table costs neither time nor resident
// memory until its rows are written. Only for plain rows whose value-initialised state is all
// zero bytes.

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace dyd {

template <class T>
class ZeroedTable {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "rows are plain bytes");

  public:
    ZeroedTable() = default;
    explicit ZeroedTable(std::size_t size) : rows_(Allocate(size)), size_(size) {}
    ZeroedTable(const ZeroedTable& other) : ZeroedTable(other.size_) {
        if (size_ > 0) {
            std::memcpy(rows_.get(), other.rows_.get(), size_ * sizeof(T));
        }
    }
    ZeroedTable& operator=(const ZeroedTable& other) {
        if (this != &other) {
            ZeroedTable copy(other);
            *this = std::move(copy);
        }
        return *this;
    }
    ZeroedTable(ZeroedTable&& other) noexcept
        : rows_(std::move(other.rows_)), size_(std::exchange(other.size_, 0)) {}
    ZeroedTable& operator=(ZeroedTable&& other) noexcept {
        rows_ = std::move(other.rows_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return rows_.get()[i]; }
    const T& operator[](std::size_t i) const { return rows_.get()[i]; }
    T* begin() { return rows_.get(); }
    T* end() { return rows_.get() + size_; }
    const T* begin() const { return rows_.get(); }
    const T* end() const { return rows_.get() + size_; }

    friend bool operator==(const ZeroedTable& a, const ZeroedTable& b) {
        if (a.size_ != b.size_) {
            return false;
        }
        for (std::size_t i = 0; i < a.size_; ++i) {
            if (!(a[i] == b[i])) {
                return false;
            }
        }
        return true;
    }

  private:
    // Large tables are mapped straight from the system: calloc would hand out memory that its
    // heap already used (and clear it page by page), for instance in a thread that read files
    // before, and keep it after the table is gone.
    static constexpr std::size_t kMapped = std::size_t{64} << 10;
    struct Free {
        std::size_t bytes = 0;
        void operator()(T* rows) const noexcept {
            if (bytes >= kMapped) {
                ::munmap(rows, bytes);
            } else {
                std::free(rows);
            }
        }
    };
    static std::unique_ptr<T, Free> Allocate(std::size_t size) {
        if (size == 0) {
            return {nullptr, Free{}};
        }
        if (size > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_alloc();
        }
        const std::size_t bytes = size * sizeof(T);
        void* rows = nullptr;
        if (bytes >= kMapped) {
            rows = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (rows == MAP_FAILED) {
                throw std::bad_alloc();
            }
        } else {
            rows = std::calloc(size, sizeof(T));
            if (rows == nullptr) {
                throw std::bad_alloc();
            }
        }
        return {static_cast<T*>(rows), Free{bytes}};
    }

    std::unique_ptr<T, Free> rows_;
    std::size_t size_ = 0;
};

}  // namespace dyd
