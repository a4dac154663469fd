#include "ui/widgets/ui_text.h"

#include <QFile>
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
#include <vector>

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

std::uint32_t Le32(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::uint16_t Le16(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

// Where the rows of an uncompressed 24-bit bitmap lie. Its rows are padded to four bytes as a
// QImage's of Format_BGR888 are, so the pixel bytes are an image's bits, upside down unless the
// height is negative.
struct TrueColourBmp {
    int width = 0;
    int rows = 0;
    bool bottomUp = true;
    std::size_t pixelsAt = 0;
    std::size_t stride = 0;
    std::size_t pixelBytes = 0;  // up to the last pixel; the last row's padding may be missing
};

constexpr std::size_t kBmpHeader = 14 + 40;

// The layout from the first kBmpHeader bytes of a file of fileSize bytes; nothing for any other
// bitmap or one whose pixels the file does not hold.
std::optional<TrueColourBmp> BmpLayout(const char* head, std::size_t fileSize) {
    if (fileSize < kBmpHeader || head[0] != 'B' || head[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t pixelsAt = Le32(head + 10);
    const std::uint32_t infoSize = Le32(head + 14);
    const auto width = static_cast<std::int32_t>(Le32(head + 18));
    const auto height = static_cast<std::int32_t>(Le32(head + 22));
    if (infoSize < 40 || Le16(head + 26) != 1 || Le16(head + 28) != 24 || Le32(head + 30) != 0 ||
        width <= 0 || width > 32768 || height == 0 || height < -32768 || height > 32768) {
        return std::nullopt;
    }
    TrueColourBmp layout;
    layout.width = width;
    layout.rows = height < 0 ? -height : height;
    layout.bottomUp = height > 0;
    layout.pixelsAt = pixelsAt;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    layout.stride = (rowBytes + 3) / 4 * 4;
    layout.pixelBytes = static_cast<std::size_t>(layout.rows - 1) * layout.stride + rowBytes;
    if (pixelsAt < 14 + std::size_t{infoSize} || pixelsAt > fileSize ||
        fileSize - pixelsAt < layout.pixelBytes) {
        return std::nullopt;
    }
    return layout;
}

// An image of the layout's size whose rows are laid out as the file's; null when it cannot be
// made.
QImage ImageFor(const TrueColourBmp& layout) {
    QImage image(layout.width, layout.rows, QImage::Format_BGR888);
    if (image.isNull() || static_cast<std::size_t>(image.bytesPerLine()) != layout.stride) {
        return {};
    }
    return image;
}

// Turns rows stored bottom row first into the image's order.
void PutRowsInOrder(QImage& image, const TrueColourBmp& layout) {
    if (!layout.bottomUp) {
        return;
    }
    std::vector<uchar> spare(layout.stride);
    for (int top = 0, bottom = layout.rows - 1; top < bottom; ++top, --bottom) {
        uchar* a = image.scanLine(top);
        uchar* b = image.scanLine(bottom);
        std::memcpy(spare.data(), a, layout.stride);
        std::memcpy(a, b, layout.stride);
        std::memcpy(b, spare.data(), layout.stride);
    }
}

}  // namespace

// The pictures of an installation are uncompressed 24-bit bitmaps: their pixel bytes are the bits
// of a QImage in blue-green-red order, copied in one piece. Any other bitmap goes to Qt's reader.
QImage DecodeTrueColourBmp(const std::string& bytes) {
    const std::optional<TrueColourBmp> layout = BmpLayout(bytes.data(), bytes.size());
    if (!layout) {
        return {};
    }
    QImage image = ImageFor(*layout);
    if (image.isNull()) {
        return {};
    }
    std::memcpy(image.bits(), bytes.data() + layout->pixelsAt, layout->pixelBytes);
    PutRowsInOrder(image, *layout);
    return image;
}

namespace {

// The file's pixel bytes are read straight into the image: no copy of the file on the way.
QImage ReadTrueColourBmp(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    char head[kBmpHeader];
    const auto size = static_cast<std::size_t>(file.size());
    if (file.read(head, kBmpHeader) != static_cast<qint64>(kBmpHeader)) {
        return {};
    }
    const std::optional<TrueColourBmp> layout = BmpLayout(head, size);
    if (!layout) {
        return {};
    }
    QImage image = ImageFor(*layout);
    if (image.isNull() || !file.seek(static_cast<qint64>(layout->pixelsAt)) ||
        file.read(reinterpret_cast<char*>(image.bits()), static_cast<qint64>(layout->pixelBytes)) !=
            static_cast<qint64>(layout->pixelBytes)) {
        return {};
    }
    PutRowsInOrder(image, *layout);
    return image;
}

QImage ReadBmp(const QString& path) {
    QImage image = ReadTrueColourBmp(path);
    if (!image.isNull()) {
        return image;
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
