#include "core/qa_import.h"

#include <gtest/gtest.h>

#include <random>

#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::TempDir;
using test::WriteBytes;

constexpr std::int32_t kFirstId = 81001;
constexpr std::int32_t kIdLimit = 90000;

struct Imported {
    std::string foreign, native, recording;
};

std::vector<Imported> Texts(const UnitTable& units, int from) {
    std::vector<Imported> out;
    for (int n = from; n <= units.unitCount(); ++n) {
        out.push_back(
            {units.unit(n).foreignText, units.unit(n).nativeText, units.unit(n).recording});
    }
    return out;
}

bool operator==(const Imported& a, const Imported& b) {
    return a.foreign == b.foreign && a.native == b.native && a.recording == b.recording;
}

void PrintTo(const Imported& i, std::ostream* os) {
    *os << "{" << i.foreign << " | " << i.native << " | " << i.recording << "}";
}

TEST(QaImport, LinesMakeUnits) {
    struct Case {
        const char* what;
        std::string file;
        std::vector<Imported> units;
    };
    const Case cases[] = {
        {"pairs",
         CrLf({"Q: dog", "A: pies", "Q: cat", "A: kot"}),
         {{"dog", "pies", ""}, {"cat", "kot", ""}}},
        {"questions in a row join",
         CrLf({"Q: dog", "Q: hound", "A: pies"}),
         {{"dog@hound", "pies", ""}}},
        {"an empty line parts them",
         CrLf({"Q: dog", "  ", "Q: hound"}),
         {{"dog", "", ""}, {"hound", "", ""}}},
        {"an ignored line does not",
         CrLf({"Q: dog", "uwaga", "Q: hound"}),
         {{"dog@hound", "", ""}}},
        {"answers and recordings join",
         CrLf({"q: dog ", "a: pies", "A:  pies domowy ", "W: d.ogg", "w:d2.ogg", "Q: cat"}),
         {{"dog", "pies@pies domowy", "d.ogg@d2.ogg"}, {"cat", "", ""}}},
        {"an answer ends the question",
         CrLf({"Q: a", "A: b", "Q: c"}),
         {{"a", "b", ""}, {"c", "", ""}}},
        {"LF only, no last line end", "Q: x\nA: y", {{"x", "y", ""}}},
    };
    for (const Case& c : cases) {
        UnitTable units;
        Unit existing;
        existing.unitId = 5;
        units.Append(existing);
        const QaImportResult result = ImportQaBytes(c.file, units, kFirstId, kIdLimit);
        EXPECT_EQ(result.status, QaImportStatus::Done) << c.what;
        EXPECT_EQ(result.imported, static_cast<int>(c.units.size())) << c.what;
        EXPECT_EQ(Texts(units, 2), c.units) << c.what;
    }
}

TEST(QaImport, NewUnitsAreTheLearnersQaItems) {
    UnitTable units;
    ASSERT_EQ(ImportQaBytes(CrLf({"Q: a", "Q: b", "", "Q: c"}), units, kFirstId, kIdLimit).imported,
              2);
    for (int n = 1; n <= 2; ++n) {
        const Unit& u = units.unit(n);
        EXPECT_EQ(u.unitId, kFirstId + n - 1);
        EXPECT_EQ(u.recordingSource, 1);
        EXPECT_EQ(u.unitKind, kQaUnit);
        EXPECT_EQ(u.partOfSpeech, kOtherPart);
        EXPECT_EQ(u.level, 1);
        EXPECT_EQ(u.groupId, 1);
    }
    EXPECT_EQ(units.IndexOfUnitId(kFirstId + 1), 2);
    EXPECT_EQ(QaImportedText(2), "Zaimportowano: 2 jednostek!");
}

TEST(QaImport, RefusedAndStoppedImports) {
    TempDir dir;
    UnitTable units;
    QaImportResult r = ImportQaFile(dir.path() + "brak.txt", units, kFirstId, kIdLimit);
    EXPECT_EQ(r.status, QaImportStatus::FileMissing);
    EXPECT_EQ(r.message, kQaFileMissingMessage);

    for (const std::string file : {CrLf({"", "Q: a"}), CrLf({"A: a", "Q: b"}), std::string()}) {
        r = ImportQaBytes(file, units, kFirstId, kIdLimit);
        EXPECT_EQ(r.status, file.empty() ? QaImportStatus::Done : QaImportStatus::FirstLineNotQ);
        EXPECT_EQ(r.imported, 0);
    }
    EXPECT_EQ(r.message, "");
    WriteBytes(dir.path() + "zly.txt", CrLf({"", "Q: a"}));
    r = ImportQaFile(dir.path() + "zly.txt", units, kFirstId, kIdLimit);
    EXPECT_EQ(r.message, kQaFirstLineMessage);
    EXPECT_EQ(units.unitCount(), 0);

    // The learner's id range ends: the units read before stay.
    r = ImportQaBytes(CrLf({"Q: a", "A: b", "Q: c", "Q: d", "", "Q: e"}), units, kIdLimit - 2,
                      kIdLimit);
    EXPECT_EQ(r.status, QaImportStatus::NoIdsLeft);
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(units.unitCount(), 2);
    EXPECT_EQ(units.unit(2).foreignText, "c@d");
    // Ids of six digits never fit the learner-units file, whatever the range says.
    r = ImportQaBytes(CrLf({"Q: a", "Q: b", "", "Q: c"}), units, 99999, 200000);
    EXPECT_EQ(r.imported, 1);
    EXPECT_EQ(r.message, kQaNoIdsLeftMessage);
}

TEST(QaImport, StopsWhenTheUnitTableIsFull) {
    UnitTable units;
    for (int i = 1; i <= kMaxUnits - 1; ++i) {
        Unit u;
        u.unitId = i;
        units.Append(std::move(u));
    }
    const QaImportResult r =
        ImportQaBytes(CrLf({"Q: a", "A: b", "Q: c", "A: d"}), units, kFirstId, kIdLimit);
    EXPECT_EQ(r.status, QaImportStatus::TableFull);
    EXPECT_EQ(r.message, kAddUnitNoRoomMessage);
    EXPECT_EQ(r.imported, 1);
    EXPECT_EQ(units.unitCount(), kMaxUnits);
    EXPECT_EQ(units.unit(kMaxUnits).nativeText, "b");
}

TEST(QaImport, AnyBytesImport) {
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 300, '\0');
        for (char& c : bytes) {
            const char pick[] = {'Q', 'a', ':', ' ', '\n', '\r', static_cast<char>(random())};
            c = pick[random() % sizeof(pick)];
        }
        UnitTable units;
        const QaImportResult r = ImportQaBytes(bytes, units, kFirstId, kIdLimit);
        EXPECT_EQ(r.imported, units.unitCount());
    }
}

}  // namespace
}  // namespace dyd
