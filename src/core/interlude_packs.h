#pragma once

// Interlude packs of a course database: up to seven pack files b1.txt .. b7.txt, each naming a
// kind (quotations, pictures, matching, facts), a content file and how often the pack is shown.
// Read at login; the runner's scheduler shows their items between exercise steps.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/paths.h"
#include "core/settings.h"

namespace dyd {

enum InterludeKind : int {
    kNoInterlude = 0,
    kQuotations = 1,  // "sent1"
    kPictures1 = 2,   // "zd1"
    kPictures2 = 3,   // "zd2"
    kMatching = 4,    // "koj"
    kFacts = 5,       // "wiesz"
};

inline constexpr int kMaxQuotations = 200;
inline constexpr int kMaxPictures = 300;
inline constexpr int kMaxFacts = 200;

struct Quotation {
    std::string text;  // in the database's character set
    std::string recording;
    std::string translation;
    std::string description;
};

struct PictureItem {
    std::string name;  // six characters: folder, subfolder and file of the picture
    std::string description;
};

struct InterludePack {
    bool loaded = false;  // the pack file exists
    std::string title;
    int kind = kNoInterlude;
    std::string contentFile;  // relative to databaseDir, as written
    int period = 1;           // scheduler visits between two showings, at least 1
    int itemCount = 0;
    std::vector<Quotation> quotations;  // kind 1
    std::vector<PictureItem> pictures;  // kinds 2 and 3
    std::vector<std::string> facts;     // kind 5
};

// Pack n at index n (1..7); index 0 is unused.
using InterludePacks = std::array<InterludePack, kInterludePacks + 1>;

// The kind of a kind word (trimmed, letter case aside).
int InterludeKindOfWord(std::string_view word);

// The header of a pack file's bytes: title, kind, content file name and period (empty or not a
// number or below 1 gives 1). loaded is set; no items yet.
InterludePack ParsePackFile(std::string_view bytes);

// The items of a content file's bytes for the pack's kind, at most the kind's maximum; sets
// itemCount. Lines are trimmed and those shorter than 6 characters skipped. Fields end at "=";
// a quotation's description is the text between its third and fourth "=" (empty without a
// fourth), a fact is the text before the first "=" (the whole line without one). A picture line
// needs a "="; its description is field 4, or when that is empty whatever follows the fourth
// "=" without its last character.
void ParseContentFile(std::string_view bytes, InterludePack& pack);

std::string PackFilePath(const AppPaths& paths, int n);  // databaseDir + "b" + n + ".txt"

// Reads the seven pack files of paths.databaseDir and their content files.
InterludePacks LoadInterludePacks(const AppPaths& paths);

// The picture file of a picture item: databaseDir + characters 1-2 + "/" + characters 3-4 + "/"
// + characters 3-6 + ".jpg" of its name, letter case aside. Empty when the name cannot name a
// file inside the database folder.
std::string PictureFilePath(const AppPaths& paths, std::string_view pictureName);

// The item that a picture window shows for item n: n, or 1 when n lies outside 1..itemCount.
int PictureItemToShow(const InterludePack& pack, int n);

struct PicturePlacement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Where a picture of width x height goes on a screen: a picture wider than tall and wider than
// the screen less 30 pixels is scaled to that width; any other picture taller than the screen
// less 38 pixels to that height; the result is centred. Rounded half to even.
PicturePlacement PlacePicture(int width, int height, int screenWidth, int screenHeight);

}  // namespace dyd
