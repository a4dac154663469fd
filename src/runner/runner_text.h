#pragma once

// Small text helpers shared by the runner's source files (not part of the runner's interface).

#include <string>
#include <string_view>

#include "core/codepage.h"

namespace dyd::runner_text {

// A Polish text of the program (UTF-8 in the sources) as Windows-1250 bytes.
inline std::string Cp1250(std::string_view utf8) {
    auto bytes = FromUtf8(utf8, CodePage::Cp1250);
    return bytes ? *bytes : std::string(utf8);
}

// The part-of-speech name used in hints, with its blanks (Windows-1250); empty for other parts.
inline std::string PosName(int partOfSpeech) {
    switch (partOfSpeech) {
        case 1:
            return " rzeczownik ";
        case 2:
            return " przymiotnik ";
        case 3:
            return " czasownik ";
        case 6:
            return " przys\xB3\xF3wek ";
        default:
            return {};
    }
}

}  // namespace dyd::runner_text
