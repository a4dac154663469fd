#pragma once

// The pictures of the installation, drawn in one style: button strips, window backgrounds, hover
// pictures, exercise backgrounds and interlude pictures. Texts are Polish (UTF-8 in, drawn with
// a font that holds every Polish letter).

#include <QImage>
#include <QString>

#include <string>
#include <vector>

#include "sources.h"

namespace dyd::samplegen {

enum class ButtonIcon {
    None,
    Speaker,
    SmallSpeaker,
    Up,
    Down,
    Close,
    Minimize,
    Check,
    Cross,
    Back
};

struct ButtonSpec {
    std::string file;  // name in but_s, e.g. "ok2.bmp"
    int width = 0;     // of one frame
    int height = 0;
    QString label;
    ButtonIcon icon = ButtonIcon::None;
};

// The image list of the program, in its order (33 entries, some files more than once).
std::vector<ButtonSpec> ButtonList();

// Two frames side by side: normal, then highlighted. Around the rounded button the strip has the
// key colour of its bottom-left pixel, which the program draws transparent.
QImage ButtonStrip(const ButtonSpec& spec);

// The pixel size of a button's label: one size for all labelled buttons of the same height, the
// largest in which each of their labels fits; 0 for a button without a label.
int ButtonLabelSize(const ButtonSpec& spec);

struct WindowSpec {
    std::string file;  // name in gfx_s
    int width = 0;
    int height = 0;
    QString title;
    QString subtitle;
    // Light panels where the window puts its lists: x, y, width, height.
    std::vector<QRect> panels;
    // The height of the title band at most; 0: as the window's size and panels give it.
    int maxBand = 0;
};

std::vector<WindowSpec> WindowList();
QImage WindowBackground(const WindowSpec& spec);

// The main menu background; with a course title it is the course's own menu picture.
QImage MenuBackground(const QString& title, const QString& subtitle, const QString& author);

// The hover picture of a main menu button (tags 1 to 5).
struct HoverSpec {
    int tag = 0;
    QString title;
    QString text;
};
std::vector<HoverSpec> HoverList();
QImage HoverPicture(const HoverSpec& spec);

// The strip on the right of the exercise window.
QImage ExerciseStrip();

// Exercise backgrounds: name in cw_tla_s and the picture.
struct BackgroundSpec {
    std::string file;
    int width = 700;
    int variant = 0;
};
std::vector<BackgroundSpec> BackgroundList();
QImage ExerciseBackground(const BackgroundSpec& spec);

// Backgrounds of the matching exercise (variant 1 or 2) and of the presentation (1 or 2).
QImage MatchingBackground(int variant);
QImage PresentationBackground(int variant);

// Small pictures of the set chooser and the runner: level marks 1-4, done / not done, the
// banner of a repetition session.
QImage LevelMark(int level);
QImage DoneMark(bool done);
QImage RepetitionBanner();

// An interlude picture: a simple scene after the motif, with its English caption on a board. The
// description is not drawn: the picture window writes it under the picture.
QImage InterludePicture(const SourcePicture& picture);

// The bytes of a picture in a file format: "BMP" (24-bit) or "JPG".
std::string EncodeImage(const QImage& image, const char* format);

}  // namespace dyd::samplegen
