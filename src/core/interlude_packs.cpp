#include "core/interlude_packs.h"

#include <cmath>
#include <optional>

#include "core/files.h"
#include "core/learner_files.h"
#include "core/text.h"

namespace dyd {

namespace {

int MaxItems(int kind) {
    switch (kind) {
        case kQuotations:
            return kMaxQuotations;
        case kPictures1:
        case kPictures2:
            return kMaxPictures;
        case kFacts:
            return kMaxFacts;
        default:
            return 0;
    }
}

// The text between the third and the fourth "=", empty without a fourth.
std::string_view FourthField(const EqualsFields& fields) {
    return fields.count() == 4 ? fields.trimmed(3) : std::string_view();
}

bool SafePart(std::string_view part) {
    if (part.empty() || part == "." || part == "..") {
        return false;
    }
    for (const char c : part) {
        if (c == '/' || c == '\\' || c == '\0') {
            return false;
        }
    }
    return true;
}

int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

}  // namespace

int InterludeKindOfWord(std::string_view word) {
    const std::string w = LowerAZ(TrimView(word));
    if (w == "sent1") {
        return kQuotations;
    }
    if (w == "zd1") {
        return kPictures1;
    }
    if (w == "zd2") {
        return kPictures2;
    }
    if (w == "koj") {
        return kMatching;
    }
    if (w == "wiesz") {
        return kFacts;
    }
    return kNoInterlude;
}

InterludePack ParsePackFile(std::string_view bytes) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    const auto line = [&](std::size_t i) {
        return i < lines.size() ? TrimView(lines[i]) : std::string_view();
    };
    InterludePack pack;
    pack.loaded = true;
    pack.title = line(0);
    pack.kind = InterludeKindOfWord(line(1));
    pack.contentFile = line(2);
    const std::optional<std::int32_t> period = IntOrZero(line(3));
    pack.period = period && *period > 0 ? *period : 1;
    return pack;
}

void ParseContentFile(std::string_view bytes, InterludePack& pack) {
    pack.quotations.clear();
    pack.pictures.clear();
    pack.facts.clear();
    const int max = MaxItems(pack.kind);
    int count = 0;
    for (const std::string_view raw : SplitLines(bytes)) {
        if (count >= max) {
            break;
        }
        const std::string_view line = TrimView(raw);
        if (line.size() < 6) {
            continue;
        }
        const EqualsFields fields(line, 4);
        if (pack.kind == kQuotations) {
            const std::vector<std::string_view> cut = CutFields(line, 3);
            pack.quotations.push_back(
                {Trim(cut[0]), Trim(cut[1]), Trim(cut[2]), std::string(FourthField(fields))});
        } else if (pack.kind == kFacts) {
            pack.facts.push_back(Trim(CutFields(line, 1)[0]));
        } else {
            if (fields.count() == 0) {
                continue;
            }
            PictureItem item;
            item.name = fields.trimmed(0);
            item.description = FourthField(fields);
            if (item.description.empty() && fields.count() == 4 && !fields.rest().empty()) {
                const std::string_view rest = fields.rest();
                item.description = Trim(rest.substr(0, rest.size() - 1));
            }
            pack.pictures.push_back(std::move(item));
        }
        ++count;
    }
    pack.itemCount = count;
}

std::string PackFilePath(const AppPaths& paths, int n) {
    return ResolvePath(paths.databaseDir, "b" + std::to_string(n) + ".txt");
}

InterludePacks LoadInterludePacks(const AppPaths& paths) {
    InterludePacks packs;
    for (int n = 1; n <= kInterludePacks; ++n) {
        const std::string path = PackFilePath(paths, n);
        const std::optional<std::string> header =
            FileExists(path) ? ReadFileBytes(path) : std::nullopt;
        if (!header) {
            continue;
        }
        InterludePack& pack = packs[static_cast<std::size_t>(n)];
        pack = ParsePackFile(*header);
        if (MaxItems(pack.kind) == 0 || pack.contentFile.empty()) {
            continue;
        }
        const std::string contentPath = ResolvePath(paths.databaseDir, pack.contentFile);
        const std::optional<std::string> content =
            FileExists(contentPath) ? ReadFileBytes(contentPath) : std::nullopt;
        if (content) {
            ParseContentFile(*content, pack);
        }
    }
    return packs;
}

std::string PictureFilePath(const AppPaths& paths, std::string_view pictureName) {
    const auto part = [&](std::size_t from, std::size_t length) {
        return from < pictureName.size() ? pictureName.substr(from, length) : std::string_view();
    };
    const std::string_view folder = TrimView(part(0, 2));
    const std::string_view subfolder = TrimView(part(2, 2));
    const std::string_view file = part(2, 4);
    if (!SafePart(folder) || !SafePart(subfolder) || !SafePart(file)) {
        return {};
    }
    return ResolvePath(paths.databaseDir, std::string(folder) + "/" + std::string(subfolder) + "/" +
                                              std::string(file) + ".jpg");
}

int PictureItemToShow(const InterludePack& pack, int n) {
    return n < 1 || n > pack.itemCount ? 1 : n;
}

PicturePlacement PlacePicture(int width, int height, int screenWidth, int screenHeight) {
    double scale = 1.0;
    if (height < width && width > screenWidth - 30) {
        scale = static_cast<double>(screenWidth - 30) / width;
    } else if (height > screenHeight - 38) {
        scale = static_cast<double>(screenHeight - 38) / height;
    }
    PicturePlacement p;
    p.width = RoundHalfEven(width * scale);
    p.height = RoundHalfEven(height * scale);
    p.left = RoundHalfEven((screenWidth - p.width) / 2.0);
    p.top = RoundHalfEven((screenHeight - p.height) / 2.0);
    return p;
}

}  // namespace dyd
