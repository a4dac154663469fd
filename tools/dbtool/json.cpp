#include "json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace dyd::tool {

void AppendJsonString(std::string& out, std::string_view utf8) {
    out.push_back('"');
    for (const char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof(buffer), "\\u%04x", static_cast<unsigned char>(c));
                    out += buffer;
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
}

void JsonLine::Key(std::string_view key) {
    if (!first_) {
        out_.push_back(',');
    }
    first_ = false;
    AppendJsonString(out_, key);
    out_.push_back(':');
}

JsonLine& JsonLine::Text(std::string_view key, std::string_view utf8) {
    Key(key);
    AppendJsonString(out_, utf8);
    return *this;
}

JsonLine& JsonLine::Number(std::string_view key, std::int64_t value) {
    Key(key);
    out_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::Bool(std::string_view key, bool value) {
    Key(key);
    out_ += value ? "true" : "false";
    return *this;
}

std::string JsonReal(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return ec == std::errc{} ? std::string(buffer, end) : std::string("null");
}

JsonLine& JsonLine::Real(std::string_view key, double value) {
    Key(key);
    out_ += JsonReal(value);
    return *this;
}

JsonLine& JsonLine::Raw(std::string_view key, std::string_view json) {
    Key(key);
    out_ += json;
    return *this;
}

std::string JsonLine::Finish() {
    out_ += "}\n";
    return std::move(out_);
}

}  // namespace dyd::tool
