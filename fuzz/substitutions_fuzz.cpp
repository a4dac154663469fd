// The ss_ files of equivalent spellings.

#include "core/database.h"
#include "fuzz_support.h"

using namespace dyd;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<Substitution> pairs = ParseSubstitutions(fuzz::Bytes(data, size));
    fuzz::Require(pairs.size() <= static_cast<std::size_t>(kMaxSubstitutions),
                  "at most 30 substitution pairs");
    return 0;
}
