#include "sources.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>

#include "core/codepage.h"
#include "core/database.h"
#include "core/files.h"
#include "core/text.h"

namespace dyd::samplegen {

namespace {

// Blanks and tabs around a cell or a value; line ends are gone already.
std::string TrimCell(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) {
        ++begin;
    }
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        --end;
    }
    return std::string(text.substr(begin, end - begin));
}

std::size_t CharacterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::vector<std::string> SplitOn(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t found = text.find(separator, start);
        if (found == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, found - start));
        start = found + 1;
    }
}

// The lines of a UTF-8 text file without a byte order mark and without line ends.
std::vector<std::string> TextLines(const std::string& bytes) {
    std::string_view view(bytes);
    if (view.substr(0, 3) == "\xEF\xBB\xBF") {
        view.remove_prefix(3);
    }
    std::vector<std::string> lines;
    for (const std::string_view line : SplitLines(view)) {
        lines.emplace_back(line);
    }
    return lines;
}

class Reader {
  public:
    Reader(const std::string& root, const std::string& name, std::vector<SourceProblem>& problems)
        : root_(root), name_(name), problems_(problems) {}

    SourceCourse Read() {
        course_.folder = name_;
        ReadCourseInfo();
        foreign_ = CodePageOfCharset(CharsetOfIndex(course_.info.charsetIndex));
        ReadGroups();
        ReadWords();
        ReadSentences();
        ReadQa();
        ReadSets();
        ReadSubstitutions();
        ReadPacks();
        return std::move(course_);
    }

  private:
    struct Table {
        std::string file;  // relative, for messages
        std::vector<std::string> header;
        struct Row {
            int line = 0;
            std::vector<std::string> cells;
        };
        std::vector<Row> rows;
        bool present = false;
    };

    void Problem(const std::string& file, int line, std::string message) {
        problems_.push_back({file, line, std::move(message)});
    }

    std::string Relative(const std::string& file) const { return name_ + "/" + file; }

    std::optional<std::string> ReadSource(const std::string& file, bool required) {
        const std::string path = root_ + "/" + name_ + "/" + file;
        if (!FileExists(path)) {
            if (required) {
                Problem(Relative(file), 0, "brak pliku");
            }
            return std::nullopt;
        }
        auto bytes = ReadFileBytes(path);
        if (!bytes) {
            Problem(Relative(file), 0, "nie mogę odczytać pliku");
        }
        return bytes;
    }

    // Reads a table and checks that it has the columns named.
    Table ReadTable(const std::string& file, const std::vector<std::string>& columns,
                    bool required) {
        Table table;
        table.file = Relative(file);
        const auto bytes = ReadSource(file, required);
        if (!bytes) {
            return table;
        }
        table.present = true;
        const std::vector<std::string> lines = TextLines(*bytes);
        if (lines.empty()) {
            Problem(table.file, 0, "plik jest pusty (brak wiersza nagłówka)");
            return table;
        }
        for (const std::string& cell : SplitOn(lines[0], '\t')) {
            table.header.push_back(TrimCell(cell));
        }
        std::vector<int> order;
        for (const std::string& column : columns) {
            const auto found = std::find(table.header.begin(), table.header.end(), column);
            if (found == table.header.end()) {
                Problem(table.file, 1, "brak kolumny \"" + column + "\"");
                table.present = false;
                return table;
            }
            order.push_back(static_cast<int>(found - table.header.begin()));
        }
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const int lineNumber = static_cast<int>(i) + 1;
            if (TrimCell(lines[i]).empty()) {
                continue;
            }
            const std::vector<std::string> cells = SplitOn(lines[i], '\t');
            if (cells.size() > table.header.size()) {
                Problem(table.file, lineNumber,
                        "więcej komórek (" + std::to_string(cells.size()) + ") niż kolumn (" +
                            std::to_string(table.header.size()) + ")");
                continue;
            }
            Table::Row row;
            row.line = lineNumber;
            bool good = true;
            for (const int index : order) {
                std::string cell = index < static_cast<int>(cells.size())
                                       ? TrimCell(cells[static_cast<std::size_t>(index)])
                                       : std::string();
                if (cell.find('=') != std::string::npos) {
                    Problem(table.file, lineNumber,
                            "kolumna \"" + table.header[static_cast<std::size_t>(index)] +
                                "\": znak \"=\" rozdziela pola w plikach bazy i nie może stać w "
                                "tekście");
                    good = false;
                }
                row.cells.push_back(std::move(cell));
            }
            if (good) {
                table.rows.push_back(std::move(row));
            }
        }
        return table;
    }

    std::optional<int> Number(const Table& table, const Table::Row& row, const std::string& column,
                              const std::string& text, int low, int high) {
        const auto value = ParseInt(text);
        if (!value || *value < low || *value > high) {
            Problem(table.file, row.line,
                    "kolumna \"" + column + "\": \"" + text + "\" nie jest liczbą od " +
                        std::to_string(low) + " do " + std::to_string(high));
            return std::nullopt;
        }
        return *value;
    }

    // A text must fit the code page of the course files.
    bool Fits(const Table& table, int line, const std::string& column, const std::string& text,
              CodePage page) {
        std::string bad;
        if (!FromUtf8(text, page, &bad)) {
            Problem(table.file, line,
                    "kolumna \"" + column + "\": znaku \"" + bad + "\" nie ma w stronie kodowej " +
                        CodePageName(page));
            return false;
        }
        return true;
    }

    bool Required(const Table& table, int line, const std::string& column,
                  const std::string& text) {
        if (text.empty()) {
            Problem(table.file, line, "kolumna \"" + column + "\" nie może być pusta");
            return false;
        }
        return true;
    }

    std::optional<TargetFile> FileKind(const Table& table, int line, const std::string& text) {
        if (text == "main" || text.empty()) {
            return TargetFile::Main;
        }
        if (text == "scrambled") {
            return TargetFile::Scrambled;
        }
        if (text == "companion") {
            return TargetFile::Companion;
        }
        Problem(table.file, line,
                "kolumna \"file\": \"" + text + "\" (dozwolone: main, scrambled, companion)");
        return std::nullopt;
    }

    std::optional<AudioFormat> Audio(const Table& table, int line, const std::string& text) {
        if (text == "ogg" || text.empty()) {
            return AudioFormat::Ogg;
        }
        if (text == "wav") {
            return AudioFormat::Wav;
        }
        if (text == "mp3") {
            return AudioFormat::Mp3;
        }
        Problem(table.file, line, "kolumna \"audio\": \"" + text + "\" (dozwolone: ogg, wav, mp3)");
        return std::nullopt;
    }

    // Id, group and level of a unit row; the id must be new in the course.
    bool UnitHead(const Table& table, const Table::Row& row, int& id, int& group, int& level) {
        const auto idValue = Number(table, row, "id", row.cells[0], 10000, 89999);
        const auto groupValue = Number(table, row, "group", row.cells[1], 1, 59);
        const auto levelValue = Number(table, row, "level", row.cells[2], 1, 4);
        if (!idValue || !groupValue || !levelValue) {
            return false;
        }
        if (!groupIds_.contains(*groupValue)) {
            Problem(table.file, row.line,
                    "grupy " + std::to_string(*groupValue) + " nie ma w groups.tsv");
            return false;
        }
        const auto [where, added] =
            unitIds_.emplace(*idValue, table.file + ":" + std::to_string(row.line));
        if (!added) {
            Problem(
                table.file, row.line,
                "identyfikator " + std::to_string(*idValue) + " już jest (" + where->second + ")");
            return false;
        }
        id = *idValue;
        group = *groupValue;
        level = *levelValue;
        return true;
    }

    void ReadCourseInfo() {
        const std::string file = "course.txt";
        const auto bytes = ReadSource(file, true);
        if (!bytes) {
            return;
        }
        CourseInfo& info = course_.info;
        std::map<std::string, std::string> values;
        const std::vector<std::string> lines = TextLines(*bytes);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int lineNumber = static_cast<int>(i) + 1;
            if (TrimCell(lines[i]).empty()) {
                continue;
            }
            const std::size_t colon = lines[i].find(':');
            if (colon == std::string::npos) {
                Problem(Relative(file), lineNumber, "oczekiwano \"klucz: wartość\"");
                continue;
            }
            const std::string key = TrimCell(std::string_view(lines[i]).substr(0, colon));
            const std::string value = TrimCell(std::string_view(lines[i]).substr(colon + 1));
            static const std::set<std::string> kKnown = {
                "code",       "title",           "subtitle",     "author",
                "language",   "pluralExercises", "charsetIndex", "userIdLow",
                "userIdHigh", "nativeLanguage"};
            if (!kKnown.contains(key)) {
                Problem(Relative(file), lineNumber, "nieznany klucz \"" + key + "\"");
                continue;
            }
            if (value.find('=') != std::string::npos || value.find('\t') != std::string::npos) {
                Problem(Relative(file), lineNumber,
                        "wartość klucza \"" + key + "\" nie może zawierać \"=\" ani tabulacji");
                continue;
            }
            values[key] = value;
        }
        const auto number = [&](const std::string& key, int low, int high, int fallback) {
            const auto found = values.find(key);
            if (found == values.end()) {
                return fallback;
            }
            const auto value = ParseInt(found->second);
            if (!value || *value < low || *value > high) {
                Problem(Relative(file), 0,
                        "\"" + key + "\": \"" + found->second + "\" nie jest liczbą od " +
                            std::to_string(low) + " do " + std::to_string(high));
                return fallback;
            }
            return *value;
        };
        info.language = number("language", 1, 8, 1);
        info.pluralExercises = number("pluralExercises", 0, 1, 0) == 1;
        info.charsetIndex = number("charsetIndex", 0, 2, 0);
        info.userIdLow = number("userIdLow", 1, 99999, 90000);
        info.userIdHigh = number("userIdHigh", 1, 99999, 99000);
        info.nativeLanguage = number("nativeLanguage", 1, 7, 7);
        info.title = values["title"];
        info.subtitle = values["subtitle"];
        info.author = values["author"];
        info.code = values.contains("code") ? values["code"] : DefaultCodeOfLanguage(info.language);
        if (info.title.empty()) {
            Problem(Relative(file), 0, "brak tytułu (\"title: ...\")");
        }
        if (info.code.empty() || !std::all_of(info.code.begin(), info.code.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
            })) {
            Problem(
                Relative(file), 0,
                "kod bazy \"" + info.code +
                    "\" musi składać się z małych liter a-z, cyfr i \"_\" (podaj \"code: ...\")");
        }
        if (info.userIdLow + 10 >= info.userIdHigh) {
            Problem(Relative(file), 0, "zakres userIdLow..userIdHigh musi być szerszy niż 10");
        }
        for (const char* key : {"title", "subtitle", "author"}) {
            std::string bad;
            if (!FromUtf8(values[key], CodePage::Cp1250, &bad)) {
                Problem(Relative(file), 0,
                        std::string("\"") + key + "\": znaku \"" + bad +
                            "\" nie ma w stronie kodowej CP1250");
            }
        }
    }

    void ReadGroups() {
        const Table table = ReadTable("groups.tsv", {"group", "name", "tag"}, true);
        for (const Table::Row& row : table.rows) {
            const auto group = Number(table, row, "group", row.cells[0], 1, 59);
            if (!group || !Required(table, row.line, "name", row.cells[1]) ||
                !Fits(table, row.line, "name", row.cells[1], CodePage::Cp1250) ||
                !Fits(table, row.line, "tag", row.cells[2], CodePage::Cp1250)) {
                continue;
            }
            if (!groupIds_.insert(*group).second) {
                Problem(table.file, row.line, "grupa " + std::to_string(*group) + " już jest");
                continue;
            }
            course_.groups.push_back({*group, row.cells[1], row.cells[2]});
        }
    }

    static constexpr const char* kWordColumns[] = {
        "id",       "group", "level",   "part",  "foreign", "polish", "plural",
        "synonyms", "hint",  "comment", "extra", "file",    "audio"};

    void ReadWords() {
        const Table table = ReadTable(
            "words.tsv", std::vector<std::string>(std::begin(kWordColumns), std::end(kWordColumns)),
            true);
        for (const Table::Row& row : table.rows) {
            SourceWord word;
            word.line = row.line;
            const auto& c = row.cells;
            const auto part = Number(table, row, "part", c[3], 1, 6);
            const auto file = FileKind(table, row.line, c[11]);
            const auto audio = Audio(table, row.line, c[12]);
            if (!UnitHead(table, row, word.id, word.group, word.level) || !part || !file ||
                !audio || !Required(table, row.line, "foreign", c[4]) ||
                !Required(table, row.line, "polish", c[5]) ||
                !Fits(table, row.line, "foreign", c[4], foreign_) ||
                !Fits(table, row.line, "synonyms", c[7], foreign_)) {
                continue;
            }
            bool fits = true;
            for (const int i : {5, 6, 8, 9, 10}) {
                fits = Fits(table, row.line, kWordColumns[i], c[static_cast<std::size_t>(i)],
                            CodePage::Cp1250) &&
                       fits;
            }
            if (!fits) {
                continue;
            }
            word.part = *part;
            word.foreign = c[4];
            word.polish = c[5];
            word.plural = c[6];
            word.synonyms = c[7];
            word.hint = c[8];
            word.comment = c[9];
            word.extra = c[10];
            word.file = *file;
            word.audio = *audio;
            course_.words.push_back(std::move(word));
        }
    }

    void ReadSentences() {
        const Table table = ReadTable("sentences.tsv",
                                      {"id", "group", "level", "foreign", "polish", "translation",
                                       "wrong", "gapSynonyms", "file", "audio"},
                                      true);
        for (const Table::Row& row : table.rows) {
            SourceSentence sentence;
            sentence.line = row.line;
            const auto& c = row.cells;
            const auto file = FileKind(table, row.line, c[8]);
            const auto audio = Audio(table, row.line, c[9]);
            if (!UnitHead(table, row, sentence.id, sentence.group, sentence.level) || !file ||
                !audio || !Required(table, row.line, "foreign", c[3]) ||
                !Required(table, row.line, "polish", c[4]) ||
                !Fits(table, row.line, "foreign", c[3], foreign_) ||
                !Fits(table, row.line, "polish", c[4], CodePage::Cp1250) ||
                !Fits(table, row.line, "translation", c[5], CodePage::Cp1250) ||
                !Fits(table, row.line, "wrong", c[6], foreign_) ||
                !Fits(table, row.line, "gapSynonyms", c[7], foreign_) || !Marked(table, row)) {
                continue;
            }
            sentence.foreign = c[3];
            sentence.polish = c[4];
            sentence.translation = c[5];
            sentence.wrong = c[6];
            sentence.gapSynonyms = c[7];
            sentence.file = *file;
            sentence.audio = *audio;
            course_.sentences.push_back(std::move(sentence));
        }
    }

    // A sentence marks one to three parts with "<" and ">", not nested.
    bool Marked(const Table& table, const Table::Row& row) {
        const std::string& text = row.cells[3];
        int open = 0;
        int parts = 0;
        for (const char c : text) {
            if (c == '<') {
                ++open;
            } else if (c == '>') {
                --open;
                ++parts;
            }
            if (open < 0 || open > 1) {
                break;
            }
        }
        if (open != 0 || parts < 1 || parts > 3) {
            Problem(table.file, row.line,
                    "zdanie musi mieć od jednej do trzech części oznaczonych \"<\" i \">\"");
            return false;
        }
        return true;
    }

    void ReadQa() {
        const Table table = ReadTable("qa.tsv",
                                      {"id", "group", "level", "question", "answer", "questionPl",
                                       "answerPl", "file", "audio"},
                                      false);
        for (const Table::Row& row : table.rows) {
            SourceQa qa;
            qa.line = row.line;
            const auto& c = row.cells;
            const auto file = FileKind(table, row.line, c[7]);
            const auto audio = Audio(table, row.line, c[8]);
            if (!UnitHead(table, row, qa.id, qa.group, qa.level) || !file || !audio ||
                !Required(table, row.line, "question", c[3]) ||
                !Required(table, row.line, "answer", c[4]) ||
                !Fits(table, row.line, "question", c[3], foreign_) ||
                !Fits(table, row.line, "answer", c[4], CodePage::Cp1250) ||
                !Fits(table, row.line, "questionPl", c[5], CodePage::Cp1250) ||
                !Fits(table, row.line, "answerPl", c[6], CodePage::Cp1250)) {
                continue;
            }
            qa.question = c[3];
            qa.answer = c[4];
            qa.questionPl = c[5];
            qa.answerPl = c[6];
            qa.file = *file;
            qa.audio = *audio;
            course_.qa.push_back(std::move(qa));
        }
    }

    void ReadSets() {
        const Table table =
            ReadTable("sets.tsv", {"category", "group", "level", "name", "ids"}, false);
        std::set<int> words;
        std::set<int> sentences;
        for (const SourceWord& w : course_.words) {
            words.insert(w.id);
        }
        for (const SourceQa& q : course_.qa) {
            words.insert(q.id);
        }
        for (const SourceSentence& s : course_.sentences) {
            sentences.insert(s.id);
        }
        for (const Table::Row& row : table.rows) {
            SourceSet set;
            const auto& c = row.cells;
            const auto category = Number(table, row, "category", c[0], 7, 8);
            const auto group = Number(table, row, "group", c[1], 1, 59);
            const auto level = Number(table, row, "level", c[2], 1, 4);
            if (!category || !group || !level || !Required(table, row.line, "name", c[3]) ||
                !Fits(table, row.line, "name", c[3], CodePage::Cp1250)) {
                continue;
            }
            if (CharacterCount(c[3]) > 16) {
                Problem(table.file, row.line, "nazwa zestawu ma więcej niż 16 znaków");
                continue;
            }
            bool good = true;
            for (const std::string& text : SplitOn(c[4], ',')) {
                const auto id = ParseInt(TrimCell(text));
                const std::set<int>& allowed = *category == 7 ? words : sentences;
                if (!id || !allowed.contains(*id)) {
                    Problem(table.file, row.line,
                            "\"" + TrimCell(text) + "\": " +
                                (*category == 7 ? "nie ma słówka (ani jednostki QA) o tym "
                                                  "identyfikatorze"
                                                : "nie ma zdania o tym identyfikatorze"));
                    good = false;
                    continue;
                }
                set.ids.push_back(*id);
            }
            if (set.ids.size() > 300) {
                Problem(table.file, row.line, "zestaw ma więcej niż 300 jednostek");
                good = false;
            }
            if (!good) {
                continue;
            }
            set.category = *category;
            set.group = *group;
            set.level = *level;
            set.name = c[3];
            course_.sets.push_back(std::move(set));
        }
    }

    void ReadSubstitutions() {
        const std::string file = "substitutions.txt";
        const auto bytes = ReadSource(file, false);
        if (!bytes) {
            return;
        }
        const std::vector<std::string> lines = TextLines(*bytes);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int lineNumber = static_cast<int>(i) + 1;
            if (lines[i].empty()) {
                continue;
            }
            if (lines[i].find('=') == std::string::npos) {
                Problem(Relative(file), lineNumber, "oczekiwano \"forma=odpowiednik\"");
                continue;
            }
            std::string bad;
            if (!FromUtf8(lines[i], foreign_, &bad)) {
                Problem(Relative(file), lineNumber,
                        "znaku \"" + bad + "\" nie ma w stronie kodowej " + CodePageName(foreign_));
                continue;
            }
            course_.substitutions.push_back(lines[i]);
        }
        if (course_.substitutions.size() > 30) {
            Problem(Relative(file), 0, "więcej niż 30 par (program czyta tylko 30)");
        }
    }

    void ReadPacks() {
        const Table table =
            ReadTable("packs.tsv", {"pack", "title", "kind", "content", "period"}, false);
        std::set<int> numbers;
        std::set<std::string> contents;
        for (const Table::Row& row : table.rows) {
            SourcePack pack;
            const auto& c = row.cells;
            const auto number = Number(table, row, "pack", c[0], 1, 7);
            const auto period =
                c[4].empty() ? std::optional<int>(1) : Number(table, row, "period", c[4], 1, 1000);
            if (!number || !period || !Required(table, row.line, "title", c[1]) ||
                !Fits(table, row.line, "title", c[1], CodePage::Cp1250)) {
                continue;
            }
            if (!numbers.insert(*number).second) {
                Problem(table.file, row.line, "pakiet " + std::to_string(*number) + " już jest");
                continue;
            }
            static const std::map<std::string, PackKind> kKinds = {{"sent1", PackKind::Quotes},
                                                                   {"wiesz", PackKind::Facts},
                                                                   {"zd1", PackKind::Pictures1},
                                                                   {"zd2", PackKind::Pictures2},
                                                                   {"koj", PackKind::Matching}};
            const auto kind = kKinds.find(c[2]);
            if (kind == kKinds.end()) {
                Problem(
                    table.file, row.line,
                    "kolumna \"kind\": \"" + c[2] + "\" (dozwolone: sent1, wiesz, zd1, zd2, koj)");
                continue;
            }
            pack.pack = *number;
            pack.title = c[1];
            pack.kindWord = c[2];
            pack.kind = kind->second;
            pack.content = c[3];
            pack.period = *period;
            if (pack.kind != PackKind::Matching) {
                if (pack.content.empty() ||
                    pack.content.find_first_of("/\\ ") != std::string::npos ||
                    !FromUtf8(pack.content, CodePage::Cp1250)) {
                    Problem(table.file, row.line,
                            "kolumna \"content\": potrzebna prosta nazwa pliku treści, np. "
                            "cytaty.txt");
                    continue;
                }
                if (!contents.insert(pack.content).second) {
                    Problem(table.file, row.line,
                            "plik treści \"" + pack.content + "\" ma już inny pakiet");
                    continue;
                }
            }
            course_.packs.push_back(std::move(pack));
        }
        std::set<PackKind> kinds;
        for (const SourcePack& pack : course_.packs) {
            kinds.insert(pack.kind);
        }
        if (kinds.contains(PackKind::Quotes)) {
            ReadQuotes();
        }
        if (kinds.contains(PackKind::Facts)) {
            ReadFacts();
        }
        if (kinds.contains(PackKind::Pictures1)) {
            course_.pictures1 = ReadPictures("pictures1.tsv");
        }
        if (kinds.contains(PackKind::Pictures2)) {
            course_.pictures2 = ReadPictures("pictures2.tsv");
        }
    }

    void ReadQuotes() {
        const Table table = ReadTable("quotes.tsv", {"text", "translation", "description"}, true);
        for (const Table::Row& row : table.rows) {
            const auto& c = row.cells;
            if (!Required(table, row.line, "text", c[0]) ||
                !Fits(table, row.line, "text", c[0], foreign_) ||
                !Fits(table, row.line, "translation", c[1], CodePage::Cp1250) ||
                !Fits(table, row.line, "description", c[2], CodePage::Cp1250)) {
                continue;
            }
            course_.quotes.push_back({c[0], c[1], c[2]});
        }
        if (course_.quotes.size() > 200) {
            Problem(table.file, 0, "więcej niż 200 cytatów (program czyta tylko 200)");
        }
    }

    void ReadFacts() {
        const Table table = ReadTable("facts.tsv", {"text"}, true);
        for (const Table::Row& row : table.rows) {
            if (!Required(table, row.line, "text", row.cells[0]) ||
                !Fits(table, row.line, "text", row.cells[0], CodePage::Cp1250)) {
                continue;
            }
            if (row.cells[0].size() < 6) {
                Problem(table.file, row.line,
                        "ciekawostka krótsza niż 6 znaków zostałaby pominięta");
                continue;
            }
            course_.facts.push_back(row.cells[0]);
        }
        if (course_.facts.size() > 200) {
            Problem(table.file, 0, "więcej niż 200 ciekawostek (program czyta tylko 200)");
        }
    }

    std::vector<SourcePicture> ReadPictures(const std::string& file) {
        std::vector<SourcePicture> pictures;
        const Table table = ReadTable(file, {"name", "description", "motif"}, true);
        for (const Table::Row& row : table.rows) {
            const auto& c = row.cells;
            const bool nameGood =
                c[0].size() == 6 && std::all_of(c[0].begin(), c[0].end(), [](char ch) {
                    return (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
                });
            if (!nameGood) {
                Problem(
                    table.file, row.line,
                    "nazwa obrazka \"" + c[0] + "\" musi mieć 6 znaków a-z lub 0-9 (np. pk0101)");
                continue;
            }
            if (!pictureNames_.insert(c[0]).second) {
                Problem(table.file, row.line, "obrazek \"" + c[0] + "\" już jest");
                continue;
            }
            if (!Fits(table, row.line, "description", c[1], CodePage::Cp1250)) {
                continue;
            }
            pictures.push_back({c[0], c[1], c[2]});
        }
        if (pictures.size() > 300) {
            Problem(table.file, 0, "więcej niż 300 obrazków (program czyta tylko 300)");
        }
        return pictures;
    }

    const std::string& root_;
    const std::string& name_;
    std::vector<SourceProblem>& problems_;
    SourceCourse course_;
    CodePage foreign_ = CodePage::Cp1250;
    std::set<int> groupIds_;
    std::map<int, std::string> unitIds_;
    std::set<std::string> pictureNames_;
};

}  // namespace

std::string FormatProblem(const SourceProblem& problem) {
    std::string text = problem.file;
    if (problem.line > 0) {
        text += ":" + std::to_string(problem.line);
    }
    return text + ": " + problem.message;
}

std::string DefaultCodeOfLanguage(int language) {
    static const char* kCodes[] = {"",           "angielski", "niemiecki", "francuski",
                                   "hiszpanski", "wloski",    "rosyjski"};
    return language >= 1 && language <= 6 ? kCodes[language] : "";
}

SourceCourse ReadCourse(const std::string& sampleRoot, const std::string& name,
                        std::vector<SourceProblem>& problems) {
    return Reader(sampleRoot, name, problems).Read();
}

}  // namespace dyd::samplegen
