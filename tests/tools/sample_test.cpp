// The sample installation: what the generator makes from the sources in data/sample (built by
// the `sample` target into the build tree), and the generator itself on a small course of its
// own (tests/fixtures/samplegen).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <vector>

#include "core/text.h"
#include "support.h"


namespace dyd {
namespace {

namespace fs = std::filesystem;
using test::Fixture;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using ToolResult = test::ProgramRun;

ToolResult Spawn(const std::vector<std::string>& command) { return test::RunProgram(command); }

ToolResult Generate(const std::string& sources, const std::string& install) {
    return Spawn({DYD_SAMPLEGEN, sources, install});
}

// The report of `dydaktor-db check` must end with no error and no warning.
void ExpectCleanCheck(const std::string& install, const std::string& code) {
    const ToolResult run = Spawn({DYD_DBTOOL, "check", install, code});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Błędów: 0, ostrzeżeń: 0"), std::string::npos) << code << ":\n"
                                                                          << run.out << run.err;
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

bool IsJpeg(const std::string& bytes) {
    return bytes.size() > 4 && bytes.compare(0, 3, "\xFF\xD8\xFF") == 0 &&
           bytes.compare(bytes.size() - 2, 2, "\xFF\xD9") == 0;
}

bool IsBmp(const std::string& bytes) {
    return bytes.size() > 54 && bytes.compare(0, 2, "BM") == 0;
}

bool IsWav(const std::string& bytes) {
    return bytes.size() > 44 && bytes.compare(0, 4, "RIFF") == 0 &&
           bytes.compare(8, 4, "WAVE") == 0;
}

// The lines of a pack or content file (CR LF), as the program reads them.
std::vector<std::string> FileLines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string bytes = ReadBytes(path);
    for (const std::string_view line : SplitLines(bytes)) {
        lines.emplace_back(line);
    }
    return lines;
}

std::string Field(const std::string& line, int index) {
    EqualsFields fields(line);
    return std::string(fields.trimmed(index));
}

// ---- The sample installation of the build tree -------------------------------------------------

const std::string kSample = DYD_SAMPLE "/";

TEST(SampleInstallation, BothCoursesPassTheDatabaseCheck) {
    ASSERT_TRUE(fs::exists(kSample + "ds50.ini"));
    for (const char* code : {"angielski", "niemiecki"}) {
        ExpectCleanCheck(kSample, code);
    }
}

TEST(SampleInstallation, ButtonStripsHoldTwoEqualFramesThatDiffer) {
    const char* kButtons[] = {"glosnik2",     "wybierz",        "ok2",
                              "anuluj2",      "umiem",          "nie_umiem",
                              "sprawdz",      "ok_duzy",        "ok2",
                              "podr_back2",   "podr_druk2",     "nowy_user",
                              "glos_maly",    "op_gora",        "op_dol",
                              "m_slow_powt",  "m_slow_cwicz",   "m_slow_wyniki",
                              "zamknij_rog",  "cw_back",        "ok_wybor",
                              "ok2",          "podr_spis2",     "zmien",
                              "nauka2",       "nowe_slowko",    "cwicz_user",
                              "wybierz_nowe", "wybierz_slowka", "wybierz_zdania",
                              "wylacz_filtr", "statystyka",     "minim"};
    ASSERT_EQ(std::size(kButtons), 33u);
    for (const char* name : kButtons) {
        SCOPED_TRACE(name);
        const std::string bmp = ReadBytes(kSample + "but_s/" + name + ".bmp");
        ASSERT_TRUE(IsBmp(bmp));
        const std::uint32_t offset = Le32(bmp, 10);
        const auto width = static_cast<std::int32_t>(Le32(bmp, 18));
        const auto height = static_cast<std::int32_t>(Le32(bmp, 22));
        ASSERT_EQ(bmp[28], 24) << "24-bit pictures";
        ASSERT_GT(width, 0);
        ASSERT_EQ(width % 2, 0);
        // Rows of 24-bit pixels, padded to four bytes: the highlighted frame differs somewhere.
        const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
        ASSERT_GE(bmp.size(), offset + stride * static_cast<std::size_t>(std::abs(height)));
        const std::size_t half = static_cast<std::size_t>(width / 2) * 3;
        bool differs = false;
        for (std::int32_t row = 0; row < std::abs(height) && !differs; ++row) {
            const std::size_t start = offset + stride * static_cast<std::size_t>(row);
            differs = bmp.compare(start, half, bmp, start + half, half) != 0;
        }
        EXPECT_TRUE(differs) << "normal and highlighted frame are the same";
    }
}

TEST(SampleInstallation, PicturesTheWindowsNameArePresent) {
    const std::string gfx = kSample + "Lang_s/0/gfx_s/";
    for (const char* name :
         {"menu_slow.bmp",  "menu_nauka.bmp",    "logowanie.bmp",    "logow_new.bmp",
          "info.bmp",       "baza_par.bmp",      "ustawienia.bmp",   "powtorki.bmp",
          "stat_powt.bmp",  "typ_cwiczenia.bmp", "podsumowanie.bmp", "statystyka.bmp",
          "wybor_cw_a.bmp", "wybor_cw_2.bmp",    "oznacz.bmp",       "generator.bmp",
          "nowe_sl.bmp",    "zapisz_cw.bmp",     "komentarz.bmp",    "szuk_tlo.bmp",
          "przyklady.bmp",  "cw_pasek.bmp",      "prezentacja1.bmp", "prezentacja2.bmp",
          "m_1.bmp",        "m_2.bmp",           "m_3.bmp",          "m_4.bmp",
          "m_5.bmp",        "wybor_pliku.bmp", "slownik.bmp"}) {
        EXPECT_TRUE(IsBmp(ReadBytes(gfx + name))) << name;
    }
    for (const char* name : {"kojarzenie1.jpg", "kojarzenie2.jpg"}) {
        EXPECT_TRUE(IsJpeg(ReadBytes(gfx + name))) << name;
    }
    // Exercise backgrounds: the fallback c0.bmp, JPEG pictures, some for self-assessment ("k_")
    // and some without the strip ("p_").
    EXPECT_TRUE(IsBmp(ReadBytes(kSample + "cw_tla_s/c0.bmp")));
    int jpegs = 0;
    bool selfAssessment = false;
    bool full = false;
    for (const auto& entry : fs::directory_iterator(kSample + "cw_tla_s")) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".jpg")) {
            EXPECT_TRUE(IsJpeg(ReadBytes(entry.path().string()))) << name;
            ++jpegs;
            selfAssessment = selfAssessment || name.find("k_") != std::string::npos;
            full = full || name.find("p_") != std::string::npos;
        }
    }
    EXPECT_GE(jpegs, 3);
    EXPECT_TRUE(selfAssessment);
    EXPECT_TRUE(full);
}

TEST(SampleInstallation, SignalSoundsAreWaveFiles) {
    for (const char* name : {"start.wav", "zla.wav", "sent.wav", "b_ok.wav", "db/angielski/b2.wav",
                             "db/niemiecki/b2.wav"}) {
        EXPECT_TRUE(IsWav(ReadBytes(kSample + name))) << name;
    }
}

// Every quotation recording and picture that a pack file leads to exists.
TEST(SampleInstallation, InterludePacksLeadToExistingFiles) {
    const std::string db = kSample + "db/angielski/";
    std::set<std::string> kinds;
    for (int n = 1; n <= 7; ++n) {
        const std::vector<std::string> pack = FileLines(db + "b" + std::to_string(n) + ".txt");
        if (pack.empty()) {
            continue;
        }
        ASSERT_GE(pack.size(), 4u);
        const std::string kind = LowerAZ(Trim(pack[1]));
        kinds.insert(kind);
        if (kind == "koj") {
            continue;
        }
        const std::vector<std::string> items = FileLines(db + Trim(pack[2]));
        EXPECT_FALSE(items.empty()) << pack[2];
        for (const std::string& line : items) {
            SCOPED_TRACE(line);
            if (kind == "sent1") {
                const std::string recording = Field(line, 1);
                ASSERT_FALSE(recording.empty());
                EXPECT_TRUE(fs::is_regular_file(db + "bssent/d_roz.cdr/" + recording));
            } else if (kind == "zd1" || kind == "zd2") {
                const std::string name = Field(line, 0);
                ASSERT_EQ(name.size(), 6u);
                EXPECT_TRUE(IsJpeg(ReadBytes(db + name.substr(0, 2) + "/" + name.substr(2, 2) +
                                             "/" + name.substr(2, 4) + ".jpg")));
                EXPECT_FALSE(Field(line, 3).empty()) << "description";
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"sent1", "wiesz", "zd1", "zd2", "koj"}));
}

TEST(SampleInstallation, HelpPagesAndTheirLinksExist) {
    const std::string help = kSample + "htm_s/";
    for (const char* page :
         {"index.html", "logowanie.html", "jak.html", "ustawienia.html", "wyniki.html",
          "przegladaj.html", "wlasne_bazy.html", "slownictwo.html", "seria.html"}) {
        EXPECT_TRUE(fs::is_regular_file(help + page)) << page;
    }
    const std::regex link(R"re((?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
    int links = 0;
    for (const auto& entry : fs::directory_iterator(help)) {
        const std::string name = entry.path().filename().string();
        if (!name.ends_with(".html") && !name.ends_with(".htm")) {
            continue;
        }
        const std::string page = ReadBytes(entry.path().string());
        for (auto it = std::sregex_iterator(page.begin(), page.end(), link);
             it != std::sregex_iterator(); ++it) {
            std::string target = (*it)[1].str();
            if (target.find(':') != std::string::npos || target.starts_with("#")) {
                continue;  // web addresses and places in the same page
            }
            target = target.substr(0, target.find('#'));
            EXPECT_TRUE(fs::is_regular_file(help + target)) << name << " -> " << target;
            ++links;
        }
    }
    EXPECT_GT(links, 20);
}

// ---- The generator on its own small course -----------------------------------------------------

const std::string kSources = Fixture("samplegen/src");

// Every file of expected/ is made with exactly these bytes.
TEST(SampleGenerator, WritesTheCourseFilesByteForByte) {
    TempDir dir;
    const ToolResult run = Generate(kSources, dir.path());
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    const std::string expected = Fixture("samplegen/expected");
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(expected)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string relative = fs::relative(entry.path(), expected).generic_string();
        EXPECT_EQ(ReadBytes(dir.path() + relative), ReadBytes(entry.path().string())) << relative;
        ++compared;
    }
    EXPECT_GE(compared, 15);
    ExpectCleanCheck(dir.path(), "probny");
    // Recordings in every layout the course asks for, the help pages as they are.
    for (const char* recording :
         {"db/probny/nagrania/D_10/dd_100/10001.ogg", "db/probny/nagrania/D_10/dd_100/10002.wav",
          "db/probny/nagrania/D_20/dd_200/20002.wav", "db/probny/wav/o30001.mp3",
          "db/probny/bssent/d_roz.cdr/s1001.ogg"}) {
        EXPECT_GT(fs::file_size(dir.path() + recording), 1000u) << recording;
    }
    EXPECT_EQ(ReadBytes(dir.path() + "db/probny/nagrania/D_10/dd_100/10001.ogg").substr(0, 4),
              "OggS");
    EXPECT_TRUE(IsWav(ReadBytes(dir.path() + "db/probny/nagrania/D_10/dd_100/10002.wav")));
    EXPECT_EQ(ReadBytes(dir.path() + "htm_s/index.html"), ReadBytes(kSources + "/help/index.html"));
    EXPECT_TRUE(IsJpeg(ReadBytes(dir.path() + "db/probny/pk/01/0101.jpg")));
}

std::map<std::string, fs::file_time_type> Times(const std::string& folder) {
    std::map<std::string, fs::file_time_type> times;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            times[entry.path().string()] = entry.last_write_time();
        }
    }
    return times;
}

// A second run touches nothing; a unit taken out of the sources loses its recording, while the
// files the program adds to an installation stay.
TEST(SampleGenerator, RunsAgainWithoutChangesAndRemovesOnlyWhatItMade) {
    TempDir dir;
    const std::string sources = dir.path() + "src";
    fs::copy(kSources, sources, fs::copy_options::recursive);
    const std::string install = dir.path() + "inst/";
    ASSERT_EQ(Generate(sources, install).status, 0);
    WriteBytes(install + "usr.t", "1=Ala=\r\n");
    WriteBytes(install + "db/probny/sbusr.txt", "99 190001 21 cat = kot =\r\n");
    const auto before = Times(install);

    const ToolResult again = Generate(sources, install);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("nowe 0"), std::string::npos) << again.out;
    EXPECT_EQ(Times(install), before);

    // Drop the word 10004 (the last line of words.tsv).
    std::string words = ReadBytes(sources + "/kurs/words.tsv");
    words.erase(words.rfind("10004"));
    WriteBytes(sources + "/kurs/words.tsv", words);
    std::string sets = ReadBytes(sources + "/kurs/sets.tsv");
    sets.replace(sets.find(",10004"), 6, "");
    WriteBytes(sources + "/kurs/sets.tsv", sets);
    ASSERT_EQ(Generate(sources, install).status, 0);
    EXPECT_FALSE(fs::exists(install + "db/probny/nagrania/D_10/dd_100/10004.ogg"));
    EXPECT_TRUE(fs::exists(install + "db/probny/nagrania/D_10/dd_100/10001.ogg"));
    EXPECT_EQ(ReadBytes(install + "usr.t"), "1=Ala=\r\n");
    EXPECT_TRUE(fs::exists(install + "db/probny/sbusr.txt"));
}

// A source the course files cannot hold is refused with its file and line, and nothing is
// written.
TEST(SampleGenerator, RefusesBadSourcesWithFileAndLine) {
    struct Case {
        const char* file;
        const char* from;
        const char* to;
        const char* message;
    };
    const Case kCases[] = {
        {"words.tsv", "\tpies\t", "\tpies = psy\t",
         "kurs/words.tsv:2: kolumna \"polish\": znak \"=\""},
        {"words.tsv", "10002\t", "10001\t", "kurs/words.tsv:3: identyfikator 10001 już jest"},
        {"words.tsv", "10003\t2\t", "10003\t7\t", "kurs/words.tsv:4: grupy 7 nie ma"},
        {"words.tsv", "wstawać", "wstawać ☺", "kurs/words.tsv:3: kolumna \"polish\": znaku \"☺\""},
        {"sentences.tsv", "My <dog> is", "My dog is", "kurs/sentences.tsv:2: zdanie musi mieć"},
        {"sets.tsv", "10001,10004", "10001,19999", "kurs/sets.tsv:2: \"19999\""},
        {"sets.tsv", "Zwierzęta", "Zwierzęta domowe i dzikie", "kurs/sets.tsv:2: nazwa zestawu"},
        {"packs.tsv", "\tzd1\t", "\tzd9\t", "kurs/packs.tsv:4: kolumna \"kind\""},
        {"pictures1.tsv", "pk0101", "pk01", "kurs/pictures1.tsv:2: nazwa obrazka"},
        {"course.txt", "language: 1", "language: 12", "\"language\""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.message);
        TempDir dir;
        const std::string sources = dir.path() + "src";
        fs::copy(kSources, sources, fs::copy_options::recursive);
        const std::string path = sources + "/kurs/" + c.file;
        std::string text = ReadBytes(path);
        const std::size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, std::strlen(c.from), c.to);
        WriteBytes(path, text);
        const ToolResult run = Generate(sources, dir.path() + "inst");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(dir.path() + "inst"));
    }
}

}  // namespace
}  // namespace dyd
