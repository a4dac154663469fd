// dyda_s.txt and ds50.ini: any bytes read; what is written reads back to the same lines.

#include "core/database.h"
#include "core/paths.h"
#include "fuzz_support.h"

using namespace dyd;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    LoadLog log;
    const DatabaseParameters first = ParseDatabaseParameters(bytes, &log);
    const std::string written = FormatDatabaseParameters(first, first.databaseCode);
    const DatabaseParameters second = ParseDatabaseParameters(written);
    fuzz::Require(FormatDatabaseParameters(second, second.databaseCode) == written,
                  "parameters written and read back are the same");
    ParseDs50Ini(bytes);
    return 0;
}
