#include "core/interlude_packs.h"

#include <gtest/gtest.h>

#include <random>

#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::TempDir;
using test::WriteBytes;

TEST(InterludePacks, PackFileHeader) {
    struct Case {
        std::string file;
        int kind;
        int period;
    };
    const Case cases[] = {
        {CrLf({"Sentencje", " SENT1 ", "s.txt", "3"}), kQuotations, 3},
        {CrLf({"Obrazki", "zd1", "o.txt", "0"}), kPictures1, 1},
        {CrLf({"Obrazki", "Zd2", "o.txt", ""}), kPictures2, 1},
        {CrLf({"Gra", "koj", "", "-4"}), kMatching, 1},
        {CrLf({"Czy wiesz", "wiesz", "w.txt", "dwa"}), kFacts, 1},
        {CrLf({"Inne", "film"}), kNoInterlude, 1},
    };
    for (const Case& c : cases) {
        const InterludePack pack = ParsePackFile(c.file);
        EXPECT_TRUE(pack.loaded);
        EXPECT_EQ(pack.kind, c.kind) << c.file;
        EXPECT_EQ(pack.period, c.period) << c.file;
    }
    const InterludePack pack = ParsePackFile(CrLf({"  Sentencje ", "sent1", " cyt\\s.txt ", "2"}));
    EXPECT_EQ(pack.title, "Sentencje");
    EXPECT_EQ(pack.contentFile, "cyt\\s.txt");
    EXPECT_EQ(pack.itemCount, 0);
}

TEST(InterludePacks, QuotationsFactsAndPictures) {
    InterludePack quotes;
    quotes.kind = kQuotations;
    ParseContentFile(
        CrLf({" Carpe diem = cd.ogg = Chwytaj dzień = ", "Tempus fugit=tf=Czas=Horacy=", "krot",
              "Bez znaku rownosci", "Veni = vv"}),
        quotes);
    ASSERT_EQ(quotes.itemCount, 4);
    const Quotation& q = quotes.quotations[0];
    EXPECT_EQ(q.text, "Carpe diem");
    EXPECT_EQ(q.recording, "cd.ogg");
    EXPECT_EQ(q.translation, "Chwytaj dzień");
    EXPECT_EQ(q.description, "");  // three "=": no description
    EXPECT_EQ(quotes.quotations[1].description, "Horacy");
    EXPECT_EQ(quotes.quotations[2].text, "Bez znaku rownosci");
    EXPECT_EQ(quotes.quotations[3].recording, "vv");

    InterludePack facts;
    facts.kind = kFacts;
    ParseContentFile(CrLf({"Fakt pierwszy = cos", "Fakt drugi", ""}), facts);
    EXPECT_EQ(facts.facts, (std::vector<std::string>{"Fakt pierwszy", "Fakt drugi"}));

    InterludePack pictures;
    pictures.kind = kPictures2;
    ParseContentFile(CrLf({"a1b2c3 = x = y = Zamek = ", "a1b2c4=x=y== Most nad rzeka =",
                           "a1b2c5=x=y=", "bez rownosci"}),
                     pictures);
    ASSERT_EQ(pictures.itemCount, 3);
    EXPECT_EQ(pictures.pictures[0].name, "a1b2c3");
    EXPECT_EQ(pictures.pictures[0].description, "Zamek");
    EXPECT_EQ(pictures.pictures[1].description, "Most nad rzeka");
    EXPECT_EQ(pictures.pictures[2].description, "");

    InterludePack matching;
    matching.kind = kMatching;
    ParseContentFile(CrLf({"cokolwiek=1="}), matching);
    EXPECT_EQ(matching.itemCount, 0);
}

TEST(InterludePacks, ContentBeyondTheKindsMaximumIsNotRead) {
    std::string lines;
    for (int i = 1; i <= 320; ++i) {
        lines += "p" + std::to_string(100000 + i) + "=a=b=opis=\r\n";
    }
    for (const auto& [kind, max] :
         {std::pair{kQuotations, kMaxQuotations}, std::pair{kPictures1, kMaxPictures},
          std::pair{kFacts, kMaxFacts}}) {
        InterludePack pack;
        pack.kind = kind;
        ParseContentFile(lines, pack);
        EXPECT_EQ(pack.itemCount, max) << kind;
    }
}

TEST(InterludePacks, AnyBytesParse) {
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 300, '\0');
        for (char& c : bytes) {
            const char pick[] = {'=', 'x', ' ', '\n', '\r', static_cast<char>(random())};
            c = pick[random() % sizeof(pick)];
        }
        InterludePack pack = ParsePackFile(bytes);
        EXPECT_GE(pack.period, 1);
        for (const int kind : {kQuotations, kPictures1, kFacts}) {
            pack.kind = kind;
            ParseContentFile(bytes, pack);
        }
    }
}

TEST(InterludePacks, LoadedAtLoginFromTheDatabaseFolder) {
    TempDir dir;
    AppPaths paths;
    paths.databaseDir = dir.path() + "db/x/";
    WriteBytes(paths.databaseDir + "b1.txt", CrLf({"Sentencje", "sent1", "Cyt\\S.TXT", "2"}));
    WriteBytes(paths.databaseDir + "cyt/s.txt", CrLf({"Ars longa=al=Sztuka=", "Vita brevis=vb="}));
    WriteBytes(paths.databaseDir + "b2.txt", CrLf({"Obrazki", "zd1", "brak.txt", "5"}));
    WriteBytes(paths.databaseDir + "B4.TXT", CrLf({"Dopasuj", "koj"}));
    const InterludePacks packs = LoadInterludePacks(paths);
    EXPECT_TRUE(packs[1].loaded);
    EXPECT_EQ(packs[1].itemCount, 2);
    EXPECT_EQ(packs[1].quotations[1].text, "Vita brevis");
    EXPECT_TRUE(packs[2].loaded);
    EXPECT_EQ(packs[2].itemCount, 0);
    EXPECT_EQ(packs[2].period, 5);
    EXPECT_FALSE(packs[3].loaded);
    EXPECT_EQ(packs[3].title, "");
    EXPECT_TRUE(packs[4].loaded);
    EXPECT_EQ(packs[4].kind, kMatching);
    EXPECT_EQ(packs[4].itemCount, 0);
}

TEST(InterludePacks, PictureFileAndItem) {
    TempDir dir;
    AppPaths paths;
    paths.databaseDir = dir.path();
    WriteBytes(dir.path() + "A1/B2/b2c3.jpg", "jpg");
    EXPECT_EQ(PictureFilePath(paths, "a1b2c3"), dir.path() + "A1/B2/b2c3.jpg");
    EXPECT_EQ(PictureFilePath(paths, "q9r8s7"), dir.path() + "q9/r8/r8s7.jpg");
    for (const std::string_view bad : {"..b2c3", "a1..c3", "a/b2c3", "a1", ""}) {
        EXPECT_EQ(PictureFilePath(paths, bad), "") << bad;
    }

    InterludePack pack;
    pack.itemCount = 5;
    EXPECT_EQ(PictureItemToShow(pack, 7), 1);
    EXPECT_EQ(PictureItemToShow(pack, 0), 1);
    EXPECT_EQ(PictureItemToShow(pack, 5), 5);
}

TEST(InterludePacks, PicturePlacementOnTheScreen) {
    struct Case {
        int w, h;
        PicturePlacement expected;
    };
    const Case cases[] = {
        {600, 1000, {293, 19, 438, 730}},   // portrait taller than the screen
        {200, 100, {412, 334, 200, 100}},   // small: natural size, centred
        {103, 50, {460, 359, 103, 50}},     // 460.5 rounds to even
        {2000, 1000, {15, 136, 994, 497}},  // landscape wider than the screen; 135.5 to even
        {900, 800, {102, 19, 821, 730}},    // landscape narrower than the screen but too tall
    };
    for (const Case& c : cases) {
        const PicturePlacement p = PlacePicture(c.w, c.h, 1024, 768);
        EXPECT_EQ(
            (std::array{p.left, p.top, p.width, p.height}),
            (std::array{c.expected.left, c.expected.top, c.expected.width, c.expected.height}))
            << c.w << "x" << c.h;
    }
}

}  // namespace
}  // namespace dyd
