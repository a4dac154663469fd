#pragma once

// Conversion between the single-byte code pages of the course files and UTF-8, for what leaves
// the core (windows, the database tool). The tables are built once from glibc's iconv.

#include <optional>
#include <string>
#include <string_view>

namespace dyd {

enum class CodePage { Cp1250, Cp1252, Cp1251 };

// The Windows character set numbers used by the course databases: 238 Central European,
// 0 Western, 204 Cyrillic. Any other number is taken as 238.
CodePage CodePageOfCharset(int charset);
const char* CodePageName(CodePage page);

// True when the byte stands for a character in the code page.
bool IsDefinedByte(CodePage page, unsigned char byte);

// Bytes that the code page leaves undefined become U+FFFD.
std::string ToUtf8(std::string_view bytes, CodePage page);

// The UTF-8 text in the code page; nothing when a character cannot be held by it or the text is
// not valid UTF-8. badCharacter, when given, receives the first offending character (UTF-8).
std::optional<std::string> FromUtf8(std::string_view utf8, CodePage page,
                                    std::string* badCharacter = nullptr);

// True when the bytes contain a multi-byte UTF-8 sequence and are valid UTF-8 as a whole: a sign
// that a file meant to be in a Windows code page was saved as UTF-8.
bool LooksLikeUtf8(std::string_view bytes);

}  // namespace dyd
