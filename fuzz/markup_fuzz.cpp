// The markup functions and both tokenizers over any text.

#include "core/markup.h"
#include "core/text.h"
#include "fuzz_support.h"

using namespace dyd;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::Bytes(data, size);
    fuzz::Require(MarkupTokenizer(text, MarkupStyle::Example).size() <= 2099, "example tokens");
    fuzz::Require(MarkupTokenizer(text, MarkupStyle::Pane).size() <= 300, "pane tokens");
    const std::string normal = NormalizeAnswerText(text);
    fuzz::Require(TrimView(normal).size() == normal.size(), "a normal answer is trimmed");
    const std::string stripped = StripGapMarkers(text);
    fuzz::Require(
        stripped.find('<') == std::string::npos && stripped.find('>') == std::string::npos,
        "no gap marker is left");
    GapsToItalics(text);
    HideGaps(text);
    Tokenizer tokenizer;
    tokenizer.SetTokenText(text);
    std::size_t tokens = 0;
    while (!tokenizer.NextToken().empty()) {
        fuzz::Require(++tokens <= size, "the tokenizer ends");
    }
    return 0;
}
