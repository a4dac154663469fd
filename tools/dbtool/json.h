#pragma once

// A JSON object written as one line, keys in the order they are added.

#include <cstdint>
#include <string>
#include <string_view>

namespace dyd::tool {

class JsonLine {
public:
    JsonLine& Text(std::string_view key, std::string_view utf8);
    JsonLine& Number(std::string_view key, std::int64_t value);
    JsonLine& Bool(std::string_view key, bool value);
    // The object with its closing brace and a line feed.
    std::string Finish();

private:
    void Key(std::string_view key);
    std::string out_ = "{";
    bool first_ = true;
};

void AppendJsonString(std::string& out, std::string_view utf8);

}  // namespace dyd::tool
