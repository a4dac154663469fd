// Reading and writing the exchange formats: KVTML 2 through Qt's XML stream reader and writer,
// delimited tables through a small state machine.

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <array>
#include <cctype>
#include <unordered_map>

#include "content/unit_editor.h"
#include "core/text.h"
#include "exchange/exchange.h"

namespace dyd {

namespace {

bool EndsWithIgnoreCase(std::string_view text, std::string_view end) {
    if (text.size() < end.size()) {
        return false;
    }
    const std::string_view tail = text.substr(text.size() - end.size());
    return std::equal(tail.begin(), tail.end(), end.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string S(QStringView text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// ---- KVTML ---------------------------------------------------------------------------------

struct LanguageCode {
    std::string_view locale;
    std::string_view name;
};
// The course languages 1..8 (7 and 8 carry no base files and no known language).
constexpr std::array<LanguageCode, 9> kLanguages = {{{"", ""},
                                                     {"en", "angielski"},
                                                     {"de", "niemiecki"},
                                                     {"fr", "francuski"},
                                                     {"es", "hiszpański"},
                                                     {"it", "włoski"},
                                                     {"ru", "rosyjski"},
                                                     {"", ""},
                                                     {"", ""}}};
constexpr std::string_view kPolishLocale = "pl";

// Words of a part of speech that other trainers recognise whatever the container's name.
std::string_view SpecialWordType(std::int32_t part) {
    switch (part) {
        case kNoun:
            return "noun";
        case kAdjective:
            return "adjective";
        case kVerb:
            return "verb";
        case kAdverb:
            return "adverb";
        default:
            return {};
    }
}

std::int32_t PartOfSpecialWordType(QStringView word) {
    for (const std::int32_t part : {kNoun, kAdjective, kVerb, kAdverb}) {
        if (word.compare(Q(SpecialWordType(part)), Qt::CaseInsensitive) == 0) {
            return part;
        }
    }
    return 0;
}

// Where an entry goes among the word types: a container per part of speech for words, one per
// kind for sentences and QA items.
std::string WordTypeName(const ExchangeEntry& e) {
    if (e.kind == kSentenceUnit || e.kind == kQaUnit) {
        return std::string(kKindNames[static_cast<std::size_t>(e.kind - 1)]);
    }
    if (e.partOfSpeech >= 1 && e.partOfSpeech <= static_cast<int>(kPartNames.size())) {
        return std::string(kPartNames[static_cast<std::size_t>(e.partOfSpeech - 1)]);
    }
    return {};
}

void WriteText(QXmlStreamWriter& xml, QStringView element, std::string_view text) {
    if (!text.empty()) {
        xml.writeTextElement(element.toString(), Q(text));
    }
}

void WriteEntryRefs(QXmlStreamWriter& xml, const std::vector<int>& ids, bool withTranslation) {
    for (const int id : ids) {
        xml.writeStartElement(QStringLiteral("entry"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(id));
        if (withTranslation) {
            xml.writeEmptyElement(QStringLiteral("translation"));
            xml.writeAttribute(QStringLiteral("id"), QStringLiteral("0"));
        }
        xml.writeEndElement();
    }
}

// Names in the order they first appear, each with its entries.
struct NamedIds {
    std::vector<std::string> names;
    std::vector<std::vector<int>> ids;
    void Add(const std::string& name, int id) {
        const auto it = std::find(names.begin(), names.end(), name);
        if (it == names.end()) {
            names.push_back(name);
            ids.push_back({id});
        } else {
            ids[static_cast<std::size_t>(it - names.begin())].push_back(id);
        }
    }
};

std::string WriteKvtml(const ExchangeList& list) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral(
        "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">"));
    xml.writeStartElement(QStringLiteral("kvtml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));

    xml.writeStartElement(QStringLiteral("information"));
    xml.writeTextElement(QStringLiteral("generator"), QStringLiteral("Dydaktor"));
    WriteText(xml, u"title", list.title);
    xml.writeEndElement();

    const LanguageCode foreign = list.language >= 1 && list.language <= 8
                                     ? kLanguages[static_cast<std::size_t>(list.language)]
                                     : kLanguages[0];
    xml.writeStartElement(QStringLiteral("identifiers"));
    const auto identifier = [&xml](int id, std::string_view name, std::string_view locale) {
        xml.writeStartElement(QStringLiteral("identifier"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(id));
        xml.writeTextElement(QStringLiteral("name"), Q(name.empty() ? "obcy" : name));
        xml.writeTextElement(QStringLiteral("locale"), Q(locale.empty() ? "xx" : locale));
        xml.writeEndElement();
    };
    identifier(0, foreign.name, foreign.locale);
    identifier(1, "polski", kPolishLocale);
    xml.writeEndElement();

    NamedIds lessons;
    NamedIds wordTypes;
    xml.writeStartElement(QStringLiteral("entries"));
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        const ExchangeEntry& e = list.entries[i];
        const int id = static_cast<int>(i);
        xml.writeStartElement(QStringLiteral("entry"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(id));

        xml.writeStartElement(QStringLiteral("translation"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("text"), Q(e.foreign));
        WriteText(xml, u"comment", e.comment);
        WriteText(xml, u"paraphrase", e.synonyms);
        WriteText(xml, u"sound", e.recording);
        if (!e.plural.empty()) {
            xml.writeStartElement(QStringLiteral("declension"));
            xml.writeStartElement(QStringLiteral("plural"));
            xml.writeStartElement(QStringLiteral("nominative"));
            xml.writeTextElement(QStringLiteral("text"), Q(e.plural));
            xml.writeEndElement();
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndElement();

        xml.writeStartElement(QStringLiteral("translation"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("1"));
        xml.writeTextElement(QStringLiteral("text"), Q(e.native));
        WriteText(xml, u"paraphrase", e.extraTranslation);
        WriteText(xml, u"example", e.hint);
        WriteText(xml, u"sound", e.answerRecording);
        xml.writeEndElement();

        xml.writeEndElement();
        if (!e.group.empty()) {
            lessons.Add(e.group, id);
        }
        if (const std::string type = WordTypeName(e); !type.empty()) {
            wordTypes.Add(type, id);
        }
    }
    xml.writeEndElement();

    if (!lessons.names.empty()) {
        xml.writeStartElement(QStringLiteral("lessons"));
        for (std::size_t i = 0; i < lessons.names.size(); ++i) {
            xml.writeStartElement(QStringLiteral("container"));
            xml.writeTextElement(QStringLiteral("name"), Q(lessons.names[i]));
            xml.writeTextElement(QStringLiteral("inpractice"), QStringLiteral("true"));
            WriteEntryRefs(xml, lessons.ids[i], false);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    if (!wordTypes.names.empty()) {
        xml.writeStartElement(QStringLiteral("wordtypes"));
        for (std::size_t i = 0; i < wordTypes.names.size(); ++i) {
            xml.writeStartElement(QStringLiteral("container"));
            xml.writeTextElement(QStringLiteral("name"), Q(wordTypes.names[i]));
            const auto part = std::find(kPartNames.begin(), kPartNames.end(), wordTypes.names[i]);
            if (part != kPartNames.end()) {
                WriteText(
                    xml, u"specialwordtype",
                    SpecialWordType(static_cast<std::int32_t>(part - kPartNames.begin()) + 1));
            }
            WriteEntryRefs(xml, wordTypes.ids[i], true);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return std::string(out.constData(), static_cast<std::size_t>(out.size()));
}

class KvtmlReader {
  public:
    KvtmlReader(std::string_view bytes, std::string_view fileName)
        : xml_(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()))),
          fileName_(fileName) {}

    ExchangeReadResult Read() {
        if (!xml_.readNextStartElement()) {
            Fail(xml_.hasError() ? XmlErrorText() : std::string("plik jest pusty"));
            return Finish();
        }
        if (xml_.name() != u"kvtml") {
            Fail("to nie jest plik KVTML (główny element to <" + S(xml_.name()) + ">)");
            return Finish();
        }
        const QStringView version = xml_.attributes().value(QLatin1String("version"));
        if (!version.startsWith(u"2")) {
            Fail("plik KVTML w wersji " + (version.isEmpty() ? std::string("1") : S(version)) +
                 "; czytam tylko wersję 2");
            return Finish();
        }
        while (Continue() && xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"information") {
                ReadInformation();
            } else if (name == u"identifiers") {
                ReadIdentifiers();
            } else if (name == u"entries") {
                ReadEntries();
            } else if (name == u"lessons") {
                ReadContainers(Containers::Lessons);
            } else if (name == u"wordtypes") {
                ReadContainers(Containers::WordTypes);
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (xml_.hasError() && result_.errors.empty()) {
            Fail(XmlErrorText());
        }
        return Finish();
    }

  private:
    enum class Containers { Lessons, WordTypes };

    bool Continue() const { return !xml_.hasError() && result_.errors.empty(); }

    int Line() const { return static_cast<int>(xml_.lineNumber()); }

    void Fail(std::string message, int line = -1) {
        result_.errors.push_back(
            {std::string(fileName_), line < 0 ? Line() : line, std::move(message)});
    }

    std::string XmlErrorText() const { return "błąd XML: " + S(xml_.errorString()); }

    ExchangeReadResult Finish() {
        if (!result_.errors.empty()) {
            result_.list.entries.clear();
            return std::move(result_);
        }
        return std::move(result_);
    }

    // Text of a simple element; an element inside it is an error.
    std::string Text() { return S(xml_.readElementText()); }

    void ReadInformation() {
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"title") {
                result_.list.title = Text();
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    void ReadIdentifiers() {
        while (xml_.readNextStartElement()) {
            if (xml_.name() != u"identifier") {
                xml_.skipCurrentElement();
                continue;
            }
            const int id = xml_.attributes().value(QLatin1String("id")).toInt();
            std::string locale;
            while (xml_.readNextStartElement()) {
                if (xml_.name() == u"locale") {
                    locale = Text();
                } else {
                    xml_.skipCurrentElement();
                }
            }
            std::transform(locale.begin(), locale.end(), locale.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (locale == kPolishLocale || locale.rfind("pl_", 0) == 0 ||
                locale.rfind("pl-", 0) == 0) {
                polishId_ = id;
                foreignId_ = id == 0 ? 1 : 0;
            } else {
                for (std::size_t l = 1; l < kLanguages.size(); ++l) {
                    if (!kLanguages[l].locale.empty() &&
                        locale.rfind(kLanguages[l].locale, 0) == 0) {
                        result_.list.language = static_cast<std::int32_t>(l);
                    }
                }
            }
        }
    }

    void ReadEntries() {
        while (Continue() && xml_.readNextStartElement()) {
            if (xml_.name() != u"entry") {
                xml_.skipCurrentElement();
                continue;
            }
            const int line = Line();
            bool ok = false;
            const int id = xml_.attributes().value(QLatin1String("id")).toInt(&ok);
            if (!ok) {
                Fail("wpis bez numeru (atrybutu id)");
                return;
            }
            if (!entryIndex_.emplace(id, result_.list.entries.size()).second) {
                Fail("numer wpisu " + std::to_string(id) + " powtarza się");
                return;
            }
            ExchangeEntry& e = result_.list.entries.emplace_back();
            e.line = line;
            while (xml_.readNextStartElement()) {
                if (xml_.name() == u"translation") {
                    ReadTranslation(e, xml_.attributes().value(QLatin1String("id")).toInt());
                } else {
                    xml_.skipCurrentElement();
                }
            }
        }
    }

    void ReadTranslation(ExchangeEntry& e, int id) {
        const bool foreign = id == foreignId_;
        const bool polish = id == polishId_;
        if (!foreign && !polish) {
            xml_.skipCurrentElement();
            return;
        }
        while (xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"text") {
                (foreign ? e.foreign : e.native) = Text();
            } else if (name == u"comment") {
                std::string comment = Text();
                // The foreign side's comment first; the Polish side's when that is all there is.
                if (foreign || e.comment.empty()) {
                    e.comment = std::move(comment);
                }
            } else if (name == u"paraphrase") {
                (foreign ? e.synonyms : e.extraTranslation) = Text();
            } else if (name == u"example" && polish) {
                e.hint = Text();
            } else if (name == u"sound") {
                (foreign ? e.recording : e.answerRecording) = Text();
            } else if (foreign && (name == u"declension" || name == u"grammaticalnumber")) {
                ReadPlural(e, false);
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    // The first text under a <plural> element at any depth.
    void ReadPlural(ExchangeEntry& e, bool insidePlural) {
        while (xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"text") {
                std::string text = Text();
                if (insidePlural && e.plural.empty()) {
                    e.plural = std::move(text);
                }
            } else {
                ReadPlural(e, insidePlural || name == u"plural");
            }
        }
    }

    ExchangeEntry* EntryOfRef() {
        bool ok = false;
        const int id = xml_.attributes().value(QLatin1String("id")).toInt(&ok);
        const auto it = entryIndex_.find(id);
        return ok && it != entryIndex_.end() ? &result_.list.entries[it->second] : nullptr;
    }

    void ReadContainers(Containers kind) {
        while (Continue() && xml_.readNextStartElement()) {
            if (xml_.name() == u"container") {
                ReadContainer(kind, {});
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    // The element read is a <container>; one inside it names its entries more closely.
    void ReadContainer(Containers kind, const std::string& outer) {
        std::string name = outer;
        std::int32_t special = 0;
        while (xml_.readNextStartElement()) {
            const QStringView element = xml_.name();
            if (element == u"name") {
                name = Text();
            } else if (element == u"specialwordtype") {
                special = PartOfSpecialWordType(xml_.readElementText());
            } else if (element == u"entry") {
                if (ExchangeEntry* e = EntryOfRef()) {
                    Assign(kind, name, special, *e);
                }
                xml_.skipCurrentElement();
            } else if (element == u"container") {
                ReadContainer(kind, name);
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    static void Assign(Containers kind, const std::string& name, std::int32_t special,
                       ExchangeEntry& e) {
        if (kind == Containers::Lessons) {
            if (e.group.empty()) {
                e.group = name;
            }
            return;
        }
        if (name == kKindNames[1]) {
            e.kind = kSentenceUnit;
            e.partOfSpeech = e.partOfSpeech == 0 ? kSentencePart : e.partOfSpeech;
        } else if (name == kKindNames[2]) {
            e.kind = kQaUnit;
            e.partOfSpeech = e.partOfSpeech == 0 ? kOtherPart : e.partOfSpeech;
        } else if (e.partOfSpeech == 0) {
            const auto part = std::find(kPartNames.begin(), kPartNames.end(), name);
            e.partOfSpeech = part != kPartNames.end()
                                 ? static_cast<std::int32_t>(part - kPartNames.begin()) + 1
                                 : special;
        }
    }

    QXmlStreamReader xml_;
    std::string_view fileName_;
    ExchangeReadResult result_;
    std::unordered_map<int, std::size_t> entryIndex_;
    int foreignId_ = 0;
    int polishId_ = 1;
};

// ---- Tables --------------------------------------------------------------------------------

enum class Column {
    Foreign,
    Native,
    Plural,
    Synonyms,
    Hint,
    Comment,
    ExtraTranslation,
    Recording,
    AnswerRecording,
    Kind,
    Part,
    Level,
    Group,
};
constexpr std::array<std::string_view, 13> kColumnNames = {
    "obcy",         "polski",     "mnoga",
    "synonimy",     "podpowiedz", "komentarz",
    "tlumaczenie2", "nagranie",   "nagranie_odpowiedzi",
    "rodzaj",       "czesc_mowy", "poziom",
    "grupa"};

std::string& FieldOf(ExchangeEntry& e, Column c) {
    switch (c) {
        case Column::Native:
            return e.native;
        case Column::Plural:
            return e.plural;
        case Column::Synonyms:
            return e.synonyms;
        case Column::Hint:
            return e.hint;
        case Column::Comment:
            return e.comment;
        case Column::ExtraTranslation:
            return e.extraTranslation;
        case Column::Recording:
            return e.recording;
        case Column::AnswerRecording:
            return e.answerRecording;
        case Column::Group:
            return e.group;
        default:
            return e.foreign;
    }
}

char Separator(ExchangeFormat format) {
    return format == ExchangeFormat::Csv ? ',' : '\t';
}

std::string WriteTable(const ExchangeList& list, ExchangeFormat format) {
    const char separator = Separator(format);
    const std::string_view end = format == ExchangeFormat::Csv ? "\r\n" : "\n";
    std::string out;
    for (std::size_t c = 0; c < kColumnNames.size(); ++c) {
        out += c > 0 ? std::string(1, separator) : std::string();
        out += kColumnNames[c];
    }
    out += end;
    for (const ExchangeEntry& e : list.entries) {
        ExchangeEntry copy = e;
        for (std::size_t c = 0; c < kColumnNames.size(); ++c) {
            if (c > 0) {
                out += separator;
            }
            const auto column = static_cast<Column>(c);
            switch (column) {
                case Column::Kind:
                    out += kKindNames[static_cast<std::size_t>(
                        e.kind == kSentenceUnit || e.kind == kQaUnit ? e.kind - 1 : 0)];
                    break;
                case Column::Part:
                    if (e.partOfSpeech >= 1 &&
                        e.partOfSpeech <= static_cast<int>(kPartNames.size())) {
                        out += TableField(kPartNames[static_cast<std::size_t>(e.partOfSpeech - 1)],
                                          format);
                    }
                    break;
                case Column::Level:
                    if (e.level > 0) {
                        out += std::to_string(e.level);
                    }
                    break;
                default:
                    out += TableField(FieldOf(copy, column), format);
            }
        }
        out += end;
    }
    return out;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(TrimView(text));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

ExchangeReadResult ReadTableEntries(std::string_view bytes, ExchangeFormat format,
                                    std::string_view fileName) {
    ExchangeReadResult result;
    TableReadResult table = ReadTable(bytes, format);
    if (table.error) {
        table.error->file = std::string(fileName);
        result.errors.push_back(*table.error);
        return result;
    }
    // A first record that names a known column is the header; without one the first two
    // columns hold the foreign and the Polish text.
    std::array<int, kColumnNames.size()> index{};
    index.fill(-1);
    std::size_t first = 0;
    if (!table.records.empty()) {
        const std::vector<std::string>& header = table.records.front().fields;
        for (std::size_t f = 0; f < header.size(); ++f) {
            const std::string name = AsciiLower(header[f]);
            const auto it = std::find(kColumnNames.begin(), kColumnNames.end(), name);
            if (it != kColumnNames.end() &&
                index[static_cast<std::size_t>(it - kColumnNames.begin())] < 0) {
                index[static_cast<std::size_t>(it - kColumnNames.begin())] = static_cast<int>(f);
                first = 1;
            }
        }
    }
    if (first == 0) {
        index[static_cast<std::size_t>(Column::Foreign)] = 0;
        index[static_cast<std::size_t>(Column::Native)] = 1;
    }
    const auto fail = [&](int line, std::string message) {
        result.errors.push_back({std::string(fileName), line, std::move(message)});
    };
    for (std::size_t r = first; r < table.records.size(); ++r) {
        const TableRecord& record = table.records[r];
        if (std::all_of(record.fields.begin(), record.fields.end(),
                        [](const std::string& f) { return TrimView(f).empty(); })) {
            continue;
        }
        ExchangeEntry e;
        e.line = record.line;
        for (std::size_t c = 0; c < kColumnNames.size(); ++c) {
            const int at = index[c];
            if (at < 0 || static_cast<std::size_t>(at) >= record.fields.size()) {
                continue;
            }
            const std::string& value = record.fields[static_cast<std::size_t>(at)];
            const std::string_view trimmed = TrimView(value);
            const auto column = static_cast<Column>(c);
            if (column == Column::Kind) {
                if (trimmed.empty()) {
                    continue;
                }
                const auto it = std::find(kKindNames.begin(), kKindNames.end(), trimmed);
                if (it == kKindNames.end()) {
                    fail(e.line, "nieznany rodzaj jednostki \"" + std::string(trimmed) +
                                     "\" (słówko, zdanie albo tryb QA)");
                    continue;
                }
                e.kind = static_cast<std::int32_t>(it - kKindNames.begin()) + 1;
            } else if (column == Column::Part) {
                if (trimmed.empty()) {
                    continue;
                }
                const auto it = std::find(kPartNames.begin(), kPartNames.end(), trimmed);
                if (it == kPartNames.end()) {
                    fail(e.line, "nieznana część mowy \"" + std::string(trimmed) + "\"");
                    continue;
                }
                e.partOfSpeech = static_cast<std::int32_t>(it - kPartNames.begin()) + 1;
            } else if (column == Column::Level) {
                if (trimmed.empty()) {
                    continue;
                }
                const std::optional<std::int32_t> level = ParseInt(trimmed);
                if (!level || *level < 1 || *level > 9) {
                    fail(e.line, "poziom musi być cyfrą od 1 do 9, a jest \"" +
                                     std::string(trimmed) + "\"");
                    continue;
                }
                e.level = *level;
            } else {
                FieldOf(e, column) = value;
            }
        }
        result.list.entries.push_back(std::move(e));
    }
    if (!result.errors.empty()) {
        result.list.entries.clear();
    }
    return result;
}

}  // namespace

// ---- Public --------------------------------------------------------------------------------

std::string ExchangeErrorText(const ExchangeError& error) {
    std::string text = error.file;
    if (error.line > 0) {
        text += ":" + std::to_string(error.line);
    }
    return text + ": " + error.message;
}

std::optional<ExchangeFormat> ExchangeFormatOfName(std::string_view fileName) {
    if (EndsWithIgnoreCase(fileName, ".kvtml")) {
        return ExchangeFormat::Kvtml;
    }
    if (EndsWithIgnoreCase(fileName, ".csv")) {
        return ExchangeFormat::Csv;
    }
    if (EndsWithIgnoreCase(fileName, ".tsv") || EndsWithIgnoreCase(fileName, ".txt")) {
        return ExchangeFormat::Tsv;
    }
    return std::nullopt;
}

std::optional<ExchangeFormat> ExchangeFormatOfWord(std::string_view word) {
    const std::string lower = AsciiLower(word);
    if (lower == "kvtml") {
        return ExchangeFormat::Kvtml;
    }
    if (lower == "tsv") {
        return ExchangeFormat::Tsv;
    }
    if (lower == "csv") {
        return ExchangeFormat::Csv;
    }
    return std::nullopt;
}

std::string WriteExchange(const ExchangeList& list, ExchangeFormat format) {
    return format == ExchangeFormat::Kvtml ? WriteKvtml(list) : WriteTable(list, format);
}

ExchangeReadResult ReadExchange(std::string_view bytes, ExchangeFormat format,
                                std::string_view fileName) {
    if (format == ExchangeFormat::Kvtml) {
        if (TrimView(bytes).empty()) {
            ExchangeReadResult empty;
            empty.errors.push_back({std::string(fileName), 0, "plik jest pusty"});
            return empty;
        }
        return KvtmlReader(bytes, fileName).Read();
    }
    // A byte-order mark some editors put first.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    return ReadTableEntries(bytes, format, fileName);
}

std::string TableField(std::string_view text, ExchangeFormat format) {
    std::string out;
    if (format == ExchangeFormat::Csv) {
        if (text.find_first_of(",\"\r\n;") == std::string_view::npos &&
            TrimView(text).size() == text.size()) {
            return std::string(text);
        }
        out += '"';
        for (const char c : text) {
            if (c == '"') {
                out += '"';
            }
            out += c;
        }
        out += '"';
        return out;
    }
    for (const char c : text) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

TableReadResult ReadTable(std::string_view bytes, ExchangeFormat format) {
    TableReadResult result;
    int line = 1;
    if (format != ExchangeFormat::Csv) {
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string_view::npos) {
                end = bytes.size();
            }
            std::string_view text = bytes.substr(start, end - start);
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
            }
            TableRecord record;
            record.line = line;
            std::string field;
            for (std::size_t i = 0; i < text.size(); ++i) {
                const char c = text[i];
                if (c == '\t') {
                    record.fields.push_back(std::move(field));
                    field.clear();
                } else if (c == '\\' && i + 1 < text.size()) {
                    const char next = text[++i];
                    switch (next) {
                        case 't':
                            field += '\t';
                            break;
                        case 'n':
                            field += '\n';
                            break;
                        case 'r':
                            field += '\r';
                            break;
                        case '\\':
                            field += '\\';
                            break;
                        default:  // not an escape: the backslash stays
                            field += '\\';
                            field += next;
                    }
                } else {
                    field += c;
                }
            }
            record.fields.push_back(std::move(field));
            result.records.push_back(std::move(record));
            start = end + 1;
            ++line;
        }
        return result;
    }

    // CSV: the separator is the comma, or the semicolon when the first line has semicolons and
    // no comma outside quotes (as spreadsheets write in locales with a decimal comma).
    char separator = ',';
    {
        bool quoted = false;
        int commas = 0;
        int semicolons = 0;
        for (const char c : bytes) {
            if (c == '"') {
                quoted = !quoted;
            } else if (!quoted && (c == '\n' || c == '\r')) {
                break;
            } else if (!quoted) {
                commas += c == ',';
                semicolons += c == ';';
            }
        }
        if (commas == 0 && semicolons > 0) {
            separator = ';';
        }
    }
    enum class State { FieldStart, Plain, Quoted, QuoteSeen };
    State state = State::FieldStart;
    TableRecord record;
    record.line = line;
    std::string field;
    int quoteLine = 0;
    const auto endField = [&] {
        record.fields.push_back(std::move(field));
        field.clear();
    };
    const auto endRecord = [&] {
        endField();
        result.records.push_back(std::move(record));
        record = TableRecord();
        record.line = line + 1;
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool lineEnd =
            c == '\n' || (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n');
        if (c == '\r' && lineEnd && state != State::Quoted) {
            continue;  // the \n that follows ends the record
        }
        switch (state) {
            case State::FieldStart:
            case State::Plain:
                if (c == '"' && state == State::FieldStart) {
                    state = State::Quoted;
                    quoteLine = line;
                } else if (c == separator) {
                    endField();
                    state = State::FieldStart;
                } else if (c == '\n') {
                    endRecord();
                    state = State::FieldStart;
                } else {
                    field += c;
                    state = State::Plain;
                }
                break;
            case State::Quoted:
                if (c == '"') {
                    state = State::QuoteSeen;
                } else {
                    field += c;
                }
                break;
            case State::QuoteSeen:
                if (c == '"') {
                    field += '"';
                    state = State::Quoted;
                } else if (c == separator) {
                    endField();
                    state = State::FieldStart;
                } else if (c == '\n') {
                    endRecord();
                    state = State::FieldStart;
                } else {
                    result.records.clear();
                    result.error = ExchangeError{
                        {},
                        line,
                        std::string("po cudzysłowie zamykającym pole może stać tylko \"") +
                            separator + "\" albo koniec wiersza"};
                    return result;
                }
                break;
        }
        if (c == '\n') {
            ++line;
        }
    }
    if (state == State::Quoted) {
        result.records.clear();
        result.error =
            ExchangeError{{}, quoteLine, "cudzysłów otwarty w tym wierszu nie został zamknięty"};
        return result;
    }
    if (state != State::FieldStart || !record.fields.empty()) {
        endRecord();
    }
    return result;
}

}  // namespace dyd
