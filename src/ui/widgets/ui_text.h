#pragma once

// Texts and pictures at the window edge: the core keeps Windows-1250 (or the database's code
// page) bytes; windows show QString. Pictures come from the installation, found without regard
// to letter case; a missing picture gives a null pixmap and the window still works.

#include <QPixmap>
#include <QSize>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "core/codepage.h"
#include "core/paths.h"

class QWidget;

namespace dyd::ui {

// A UTF-8 text of the program (the Polish messages of the core) as a QString.
inline QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Polish bytes of the files (Windows-1250) as a QString.
inline QString Polish(std::string_view bytes) { return Utf8(ToUtf8(bytes, CodePage::Cp1250)); }

// Foreign bytes in the database's code page as a QString.
inline QString Foreign(std::string_view bytes, CodePage page) { return Utf8(ToUtf8(bytes, page)); }

// A typed text in Windows-1250 bytes; nothing when a character does not fit (badCharacter then
// names it).
std::optional<std::string> ToPolishBytes(const QString& text, QString* badCharacter = nullptr);

// A picture of the installation: path relative to programDir ("but_s\\ok2.bmp",
// "Lang_s/0/gfx_s/menu_slow.bmp"), "\" or "/", letter case aside. Null when missing.
QPixmap InstallPicture(const std::string& programDir, std::string_view relative);
// The same as an image in the format its file gives (24-bit bitmaps take three bytes a pixel),
// for a large picture a window keeps and paints.
QImage InstallPictureImage(const std::string& programDir, std::string_view relative);
// A picture file decoded (null when it cannot be read), and its size read from its header alone
// (invalid when it cannot be read). BMP files, most of the installation's pictures, are read
// without loading every image plugin to recognise them: uncompressed 24-bit ones by copying their
// rows, any other by Qt's own reader.
QPixmap DecodePicture(const QString& path);
// The same as an image, which any thread may decode.
QImage DecodePictureImage(const QString& path);
// An uncompressed 24-bit bitmap from its file's bytes, in Format_BGR888; a null image for any
// other bitmap or damaged bytes.
QImage DecodeTrueColourBmp(const std::string& bytes);
QSize PictureSize(const QString& path);

// A picture of the interface folder: programDir + languageDir + "gfx_s/" + name.
QPixmap InterfacePicture(const AppPaths& paths, std::string_view name);
QImage InterfacePictureImage(const AppPaths& paths, std::string_view name);

// Makes a window borderless with the given size, centred on its screen.
void MakeBorderlessCentred(QWidget* window, int width, int height);

}  // namespace dyd::ui
