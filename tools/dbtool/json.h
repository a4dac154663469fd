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
    // A number with a fraction, in its shortest form that reads back exactly.
    JsonLine& Real(std::string_view key, double value);
    // Text that is already JSON (an array or object).
    JsonLine& Raw(std::string_view key, std::string_view json);
    // The object with its closing brace and a line feed.
    std::string Finish();

  private:
    void Key(std::string_view key);
    std::string out_ = "{";
    bool first_ = true;
};

void AppendJsonString(std::string& out, std::string_view utf8);
std::string JsonReal(double value);

}  // namespace dyd::tool
