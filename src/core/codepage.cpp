#include "core/codepage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <unordered_map>

namespace dyd {

namespace {

struct Table {
    // UTF-8 of each byte; empty when the byte is not defined in the code page.
    std::array<std::string, 256> toUtf8;
    std::unordered_map<std::uint32_t, unsigned char> fromCodePoint;
};

std::uint32_t DecodeOne(std::string_view s, std::size_t& i, bool& ok);

Table BuildTable(CodePage page) {
    Table table;
    iconv_t cd = iconv_open("UTF-8", CodePageName(page));
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error(std::string("iconv cannot convert from ") + CodePageName(page));
    }
    for (int b = 0; b < 256; ++b) {
        char in[1] = {static_cast<char>(b)};
        char out[8] = {};
        char* inPtr = in;
        char* outPtr = out;
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof(out);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
            inLeft == 0) {
            table.toUtf8[static_cast<std::size_t>(b)] = std::string(out, outPtr);
            std::size_t i = 0;
            bool ok = true;
            const std::uint32_t cp = DecodeOne(table.toUtf8[static_cast<std::size_t>(b)], i, ok);
            if (ok) {
                table.fromCodePoint.emplace(cp, static_cast<unsigned char>(b));
            }
        }
    }
    iconv_close(cd);
    return table;
}

// Each table is built the first time its code page is asked for: building one loads the
// system's converter for it, which a Polish course alone never needs for the other two.
const Table& TableOf(CodePage page) {
    switch (page) {
        case CodePage::Cp1252: {
            static const Table t1252 = BuildTable(CodePage::Cp1252);
            return t1252;
        }
        case CodePage::Cp1251: {
            static const Table t1251 = BuildTable(CodePage::Cp1251);
            return t1251;
        }
        case CodePage::Cp1250:
            break;
    }
    static const Table t1250 = BuildTable(CodePage::Cp1250);
    return t1250;
}

// Decodes one UTF-8 character at i and advances i; ok becomes false on a malformed sequence.
std::uint32_t DecodeOne(std::string_view s, std::size_t& i, bool& ok) {
    const auto lead = static_cast<unsigned char>(s[i]);
    int length = 0;
    std::uint32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ok = false;
        ++i;
        return 0;
    }
    if (i + static_cast<std::size_t>(length) > s.size()) {
        ok = false;
        i = s.size();
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            ok = false;
            i += static_cast<std::size_t>(k);
            return 0;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr std::uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ok = false;
    }
    i += static_cast<std::size_t>(length);
    return cp;
}

}  // namespace

CodePage CodePageOfCharset(int charset) {
    switch (charset) {
        case 0:
            return CodePage::Cp1252;
        case 204:
            return CodePage::Cp1251;
        default:
            return CodePage::Cp1250;
    }
}

const char* CodePageName(CodePage page) {
    switch (page) {
        case CodePage::Cp1252:
            return "CP1252";
        case CodePage::Cp1251:
            return "CP1251";
        case CodePage::Cp1250:
            break;
    }
    return "CP1250";
}

bool IsDefinedByte(CodePage page, unsigned char byte) {
    return !TableOf(page).toUtf8[byte].empty();
}

std::string ToUtf8(std::string_view bytes, CodePage page) {
    const Table& table = TableOf(page);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else if (table.toUtf8[b].empty()) {
            out += "\xEF\xBF\xBD";
        } else {
            out += table.toUtf8[b];
        }
    }
    return out;
}

std::optional<std::string> FromUtf8(std::string_view utf8, CodePage page,
                                    std::string* badCharacter) {
    const Table& table = TableOf(page);
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t begin = i;
        bool ok = true;
        const std::uint32_t cp = DecodeOne(utf8, i, ok);
        if (!ok) {
            if (badCharacter != nullptr) {
                *badCharacter = std::string(utf8.substr(begin, i - begin));
            }
            return std::nullopt;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        const auto found = table.fromCodePoint.find(cp);
        if (found == table.fromCodePoint.end()) {
            if (badCharacter != nullptr) {
                *badCharacter = std::string(utf8.substr(begin, i - begin));
            }
            return std::nullopt;
        }
        out.push_back(static_cast<char>(found->second));
    }
    return out;
}

bool LooksLikeUtf8(std::string_view bytes) {
    bool multiByte = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const bool ascii = static_cast<unsigned char>(bytes[i]) < 0x80;
        bool ok = true;
        DecodeOne(bytes, i, ok);
        if (!ok) {
            return false;
        }
        multiByte = multiByte || !ascii;
    }
    return multiByte;
}

}  // namespace dyd
