#include "ui/widgets/ui_text.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QScreen>
#include <QWidget>

#include "core/files.h"

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

namespace {

bool IsBmp(const QString& path) {
    return path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
}

}  // namespace

QPixmap DecodePicture(const QString& path) {
    if (IsBmp(path)) {
        QImageReader reader(path, "bmp");
        reader.setAutoDetectImageFormat(false);
        QImage image = reader.read();
        if (!image.isNull()) {
            return QPixmap::fromImage(std::move(image));
        }
    }
    // Another format, or a file whose name does not tell what it holds.
    return QPixmap(path);
}

QImage DecodePictureImage(const QString& path) {
    if (IsBmp(path)) {
        QImageReader reader(path, "bmp");
        reader.setAutoDetectImageFormat(false);
        QImage image = reader.read();
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
