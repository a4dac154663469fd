#include "ui/widgets/ui_text.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QScreen>
#include <QWidget>

#include "core/files.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace dyd::ui {

std::optional<std::string> ToPolishBytes(const QString& text, QString* badCharacter) {
    const QByteArray utf8 = text.toUtf8();
    std::string bad;
    std::optional<std::string> bytes =
        FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                 CodePage::Cp1250, &bad);
    if (!bytes && badCharacter != nullptr) {
        *badCharacter = Utf8(bad);
    }
    return bytes;
}

QPixmap InstallPicture(const std::string& programDir, std::string_view relative) {
    const std::string path = ResolvePath(programDir, relative);
    if (!FileExists(path)) {
        return {};
    }
    return DecodePicture(QString::fromStdString(path));
}

QImage InstallPictureImage(const std::string& programDir, std::string_view relative) {
    const std::string path = ResolvePath(programDir, relative);
    if (!FileExists(path)) {
        return {};
    }
    return DecodePictureImage(QString::fromStdString(path));
}

namespace {

bool IsBmp(const QString& path) {
    return path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

std::uint16_t Le16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

}  // namespace

// The pictures of an installation are uncompressed 24-bit bitmaps: their rows are the bytes of a
// QImage in blue-green-red order, copied in one pass each (bottom row first in the file). Any
// other bitmap goes to Qt's reader; a null image when the file is not such a bitmap.
QImage DecodeTrueColourBmp(const std::string& bytes) {
    constexpr std::size_t kFileHeader = 14;
    if (bytes.size() < kFileHeader + 40 || bytes[0] != 'B' || bytes[1] != 'M') {
        return {};
    }
    const std::uint32_t pixelsAt = Le32(bytes, 10);
    const std::uint32_t infoSize = Le32(bytes, 14);
    const auto width = static_cast<std::int32_t>(Le32(bytes, 18));
    const auto height = static_cast<std::int32_t>(Le32(bytes, 22));
    if (infoSize < 40 || Le16(bytes, 26) != 1 || Le16(bytes, 28) != 24 || Le32(bytes, 30) != 0 ||
        width <= 0 || width > 32768 || height == 0 || height < -32768 || height > 32768) {
        return {};
    }
    const auto rows = static_cast<std::size_t>(height < 0 ? -height : height);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    if (pixelsAt < kFileHeader + infoSize || pixelsAt > bytes.size() ||
        bytes.size() - pixelsAt < (rows - 1) * stride + rowBytes) {
        return {};
    }
    QImage image(width, static_cast<int>(rows), QImage::Format_BGR888);
    if (image.isNull()) {
        return {};
    }
    const char* pixels = bytes.data() + pixelsAt;
    for (std::size_t row = 0; row < rows; ++row) {
        const std::size_t line = height < 0 ? row : rows - 1 - row;
        std::memcpy(image.scanLine(static_cast<int>(line)), pixels + row * stride, rowBytes);
    }
    return image;
}

namespace {

QImage ReadBmp(const QString& path) {
    if (const std::optional<std::string> bytes = ReadFileBytes(path.toStdString())) {
        QImage image = DecodeTrueColourBmp(*bytes);
        if (!image.isNull()) {
            return image;
        }
    }
    QImageReader reader(path, "bmp");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

}  // namespace

QPixmap DecodePicture(const QString& path) {
    if (IsBmp(path)) {
        QImage image = ReadBmp(path);
        if (!image.isNull()) {
            return QPixmap::fromImage(std::move(image));
        }
    }
    // Another format, or a file whose name does not tell what it holds.
    return QPixmap(path);
}

QImage DecodePictureImage(const QString& path) {
    if (IsBmp(path)) {
        QImage image = ReadBmp(path);
        if (!image.isNull()) {
            return image;
        }
    }
    return QImage(path);
}

QSize PictureSize(const QString& path) {
    if (IsBmp(path)) {
        QImageReader reader(path, "bmp");
        reader.setAutoDetectImageFormat(false);
        const QSize size = reader.size();
        if (size.isValid()) {
            return size;
        }
    }
    return QImageReader(path).size();
}

QPixmap InterfacePicture(const AppPaths& paths, std::string_view name) {
    return InstallPicture(paths.programDir, paths.languageDir + "gfx_s/" + std::string(name));
}

QImage InterfacePictureImage(const AppPaths& paths, std::string_view name) {
    return InstallPictureImage(paths.programDir, paths.languageDir + "gfx_s/" + std::string(name));
}

void MakeBorderlessCentred(QWidget* window, int width, int height) {
    window->setWindowFlag(Qt::FramelessWindowHint, true);
    window->setFixedSize(width, height);
    const QScreen* screen = window->screen() != nullptr ? window->screen()
                                                        : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(width / 2, height / 2));
    }
}

}  // namespace dyd::ui
