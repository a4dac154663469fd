#include "content/browser_search.h"

#include <cstring>
#include <string>

#include "core/text.h"

namespace dyd {
namespace {

// Byte -> byte with A-Z lowered; every other byte, those of letters with diacritics in every
// code page included, stays as it is.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i) {
        table[static_cast<std::size_t>(i)] =
            static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i - 'A' + 'a' : i);
    }
    return table;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

inline unsigned char Fold(char c) {
    return kFold[static_cast<unsigned char>(c)];
}

// How one kind of text is matched; the pattern is lowered once when case is ignored.
class Matcher {
  public:
    Matcher(std::string_view query, const SearchFlags& flags)
        : pattern_(flags.ignoreCase ? LowerAZ(TrimView(query)) : std::string(TrimView(query))),
          wholeText_(flags.wholeText),
          ignoreCase_(flags.ignoreCase) {
        if (!pattern_.empty()) {
            first_ = static_cast<unsigned char>(pattern_[0]);
            // The upper-case twin of a small a-z first byte, for scanning a text for either.
            firstUpper_ = first_ >= 'a' && first_ <= 'z' && ignoreCase_
                              ? static_cast<unsigned char>(first_ - 'a' + 'A')
                              : first_;
        }
    }

    bool empty() const { return pattern_.empty(); }

    bool Matches(std::string_view text) const {
        const std::size_t n = pattern_.size();
        if (text.size() < n) {
            return false;
        }
        if (wholeText_) {
            return text.size() == n && (ignoreCase_ ? EqualFolded(text.data()) : text == pattern_);
        }
        if (!ignoreCase_) {
            return text.find(pattern_) != std::string_view::npos;
        }
        // Candidates start where the pattern's first byte stands in either case; memchr finds
        // them, so that a text without them costs no more than the library's own find.
        const char* p = text.data();
        const char* const end = p + (text.size() - n + 1);
        const char* small = static_cast<const char*>(std::memchr(p, first_, end - p));
        const char* capital = first_ == firstUpper_
                                  ? nullptr
                                  : static_cast<const char*>(std::memchr(p, firstUpper_, end - p));
        while (small != nullptr || capital != nullptr) {
            const bool takeSmall = capital == nullptr || (small != nullptr && small < capital);
            const char* at = takeSmall ? small : capital;
            if (EqualFolded(at)) {
                return true;
            }
            const unsigned char c = takeSmall ? first_ : firstUpper_;
            const char* next = static_cast<const char*>(std::memchr(at + 1, c, end - (at + 1)));
            (takeSmall ? small : capital) = next;
        }
        return false;
    }

  private:
    // The pattern's bytes against as many bytes of the text, A-Z folded.
    bool EqualFolded(const char* text) const {
        const char* pattern = pattern_.data();
        for (std::size_t k = 0, n = pattern_.size(); k < n; ++k) {
            if (Fold(text[k]) != static_cast<unsigned char>(pattern[k])) {
                return false;
            }
        }
        return true;
    }

    std::string pattern_;
    bool wholeText_;
    bool ignoreCase_;
    unsigned char first_ = 0;
    unsigned char firstUpper_ = 0;
};

}  // namespace

SearchFlags SearchFlagsFromSettings(const Settings& settings) {
    const std::array<bool, 5>& options = settings.searchOptions;
    SearchFlags flags;
    flags.wholeText = options[1];
    flags.foreign = options[2];
    flags.polish = options[3];
    flags.ignoreCase = options[4];
    if (!flags.foreign && !flags.polish) {
        flags.foreign = true;
        flags.polish = true;
    }
    return flags;
}

void StoreSearchFlags(const SearchFlags& flags, Settings& settings) {
    settings.searchOptions[1] = flags.wholeText;
    settings.searchOptions[2] = flags.foreign;
    settings.searchOptions[3] = flags.polish;
    settings.searchOptions[4] = flags.ignoreCase;
}

std::vector<int> SearchUnits(const UnitTable& units, std::string_view query,
                             const SearchFlags& flags) {
    return SearchUnits(units, query, query, flags);
}

std::vector<int> SearchUnits(const UnitTable& units, std::string_view foreignQuery,
                             std::string_view polishQuery, const SearchFlags& flags) {
    const Matcher foreign(flags.foreign ? foreignQuery : std::string_view(), flags);
    const Matcher polish(flags.polish ? polishQuery : std::string_view(), flags);
    std::vector<int> found;
    if (foreign.empty() && polish.empty()) {
        return found;
    }
    const std::span<const Unit> rows = units.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Unit& unit = rows[i];
        if ((!foreign.empty() && foreign.Matches(unit.foreignText)) ||
            (!polish.empty() && polish.Matches(unit.nativeText))) {
            found.push_back(static_cast<int>(i) + 1);
        }
    }
    return found;
}

}  // namespace dyd
