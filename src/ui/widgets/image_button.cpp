#include "ui/widgets/image_button.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "core/files.h"
#include "core/paths.h"
#include "ui/widgets/ui_text.h"

namespace dyd::ui {
namespace {

// The strips are 24-bit pictures without alpha: in each frame the colour of its bottom-left
// pixel stands for "transparent", so that the rounded corners of a button show the window below.
QPixmap WithTransparentKey(const QPixmap& bitmap, int frameWidth) {
    QImage image = bitmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const int height = image.height();
    for (int left = 0; left + frameWidth <= image.width(); left += frameWidth) {
        const QRgb key = image.pixel(left, height - 1);
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = left; x < left + frameWidth; ++x) {
                if (line[x] == key) {
                    line[x] = qRgba(0, 0, 0, 0);
                }
            }
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

const std::vector<std::string>& ImageList::FileNames() {
    static const std::vector<std::string> names = {
        "but_s/glosnik2.bmp",     "but_s/wybierz.bmp",        "but_s/ok2.bmp",
        "but_s/anuluj2.bmp",      "but_s/umiem.bmp",          "but_s/nie_umiem.bmp",
        "but_s/sprawdz.bmp",      "but_s/ok_duzy.bmp",        "but_s/ok2.bmp",
        "but_s/podr_back2.bmp",   "but_s/podr_druk2.bmp",     "but_s/nowy_user.bmp",
        "but_s/glos_maly.bmp",    "but_s/op_gora.bmp",        "but_s/op_dol.bmp",
        "but_s/m_slow_powt.bmp",  "but_s/m_slow_cwicz.bmp",   "but_s/m_slow_wyniki.bmp",
        "but_s/zamknij_rog.bmp",  "but_s/cw_back.bmp",        "but_s/ok_wybor.bmp",
        "but_s/ok2.bmp",          "but_s/podr_spis2.bmp",     "but_s/zmien.bmp",
        "but_s/nauka2.bmp",       "but_s/nowe_slowko.bmp",    "but_s/cwicz_user.bmp",
        "but_s/wybierz_nowe.bmp", "but_s/wybierz_slowka.bmp", "but_s/wybierz_zdania.bmp",
        "but_s/wylacz_filtr.bmp", "but_s/statystyka.bmp",     "but_s/minim.bmp",
    };
    return names;
}

void ImageList::Load(const std::string& programDir, int frameCount) {
    frameCount_ = frameCount < 1 ? 1 : frameCount;
    strips_.clear();
    errors_.clear();
    for (const std::string& name : FileNames()) {
        Strip strip;
        const std::string path = ResolvePath(programDir, name);
        const QString qtPath = QString::fromStdString(path);
        const QSize size = FileExists(path) ? PictureSize(qtPath) : QSize();
        if (!size.isValid()) {
            errors_.push_back(QStringLiteral("Nie moge otworzyc pliku : \"") +
                              QString::fromStdString(name) + QStringLiteral("\""));
        } else if (size.width() % frameCount_ != 0) {
            errors_.push_back(
                QStringLiteral("Dlugosc obrazka nie dzieli sie przez podana liczbe klatek"));
        } else {
            strip.path = qtPath;
            strip.frameWidth = size.width() / frameCount_;
            strip.height = size.height();
        }
        strips_.push_back(strip);
    }
}

const ImageList::Strip* ImageList::Decoded(int index) const {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    const Strip& strip = strips_[static_cast<std::size_t>(index)];
    if (strip.frameWidth == 0) {
        return nullptr;
    }
    if (!strip.decoded) {
        strip.decoded = true;
        // A file that changed since the start and no longer decodes to the size read then
        // leaves its buttons drawn as text.
        const QPixmap bitmap = DecodePicture(strip.path);
        if (bitmap.width() == strip.frameWidth * frameCount_ && bitmap.height() == strip.height) {
            strip.bitmap = WithTransparentKey(bitmap, strip.frameWidth);
        }
    }
    return strip.bitmap.isNull() ? nullptr : &strip;
}

QPixmap ImageList::Frame(int index, int frame) const {
    const Strip* strip = Decoded(index);
    if (strip == nullptr) {
        return {};
    }
    const int f = frame < 0 || frame >= frameCount_ ? 0 : frame;
    return strip->bitmap.copy(f * strip->frameWidth, 0, strip->frameWidth, strip->bitmap.height());
}

QSize ImageList::FrameSize(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    const Strip& strip = strips_[static_cast<std::size_t>(index)];
    return strip.frameWidth == 0 ? QSize() : QSize(strip.frameWidth, strip.height);
}

int ImageList::FrameWidth(int index) const {
    return index < 0 || index >= count() ? 0 : strips_[static_cast<std::size_t>(index)].frameWidth;
}

ImageButton::ImageButton(const ImageList& images, int imageIndex, QWidget* parent)
    : QAbstractButton(parent), images_(images), imageIndex_(imageIndex) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover, true);
    setFocusPolicy(Qt::TabFocus);
    // The size comes from the picture's header: its pixels are decoded at the first paint.
    const QSize size = images_.FrameSize(imageIndex_);
    if (!size.isEmpty()) {
        resize(size);
    }
}

void ImageButton::SetImage(int imageIndex) {
    imageIndex_ = imageIndex;
    const QSize size = images_.FrameSize(imageIndex_);
    if (!size.isEmpty()) {
        resize(size);
    }
    update();
}

QSize ImageButton::sizeHint() const {
    const QSize size = images_.FrameSize(imageIndex_);
    return size.isEmpty() ? QSize(90, 28) : size;
}

void ImageButton::SetKeyHint(const QString& key) {
    keyHint_ = key;
    update();
}

void ImageButton::focusInEvent(QFocusEvent* event) {
    switch (event->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
            keyboardFocus_ = true;
            break;
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
            // The window came back: the button is as it was.
            break;
        default:
            keyboardFocus_ = false;
            break;
    }
    QAbstractButton::focusInEvent(event);
}

void ImageButton::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        keyboardFocus_ = false;
    }
    QAbstractButton::focusOutEvent(event);
}

void ImageButton::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (keyboardFocus() && isEnabled() &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
        event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat()) {
            click();
        }
        event->accept();
        return;
    }
    // Every other key (arrows too) is the window's.
    event->ignore();
}

void ImageButton::keyReleaseEvent(QKeyEvent* event) {
    event->ignore();
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap frame = images_.Frame(imageIndex_, hovered_ ? 1 : 0);
    if (!frame.isNull()) {
        painter.drawPixmap(0, 0, frame);
    } else {
        // No picture: a plain button face with the text.
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QColor(30, 70, 110));
        painter.setBrush(hovered_ ? QColor(80, 140, 200) : QColor(50, 105, 160));
        painter.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 6, 6);
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
    if (keyboardFocus()) {
        // Reached with the keyboard: a dotted frame inside the button.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(250, 246, 232), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
        painter.setPen(QPen(QColor(30, 50, 80), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
    if (keyHint_.isEmpty()) {
        return;
    }
    // The key cap at the left end (where a picture has its icon): dark text on a light face,
    // readable over any picture.
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont keyFont = font();
    keyFont.setBold(true);
    keyFont.setPixelSize(std::max(9, std::min(13, height() / 3)));
    painter.setFont(keyFont);
    const int side = std::min(height() - 8, QFontMetrics(keyFont).height() + 4);
    const int capWidth = std::max(side, QFontMetrics(keyFont).horizontalAdvance(keyHint_) + 8);
    const QRectF cap(6, (height() - side) / 2.0, capWidth, side);
    painter.setPen(QPen(QColor(30, 50, 80), 1.2));
    painter.setBrush(QColor(250, 246, 232));
    painter.drawRoundedRect(cap, 3, 3);
    painter.setPen(QColor(30, 50, 80));
    painter.drawText(cap, Qt::AlignCenter, keyHint_);
}

void ImageButton::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
    emit hoverChanged(true);
}

void ImageButton::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
    emit hoverChanged(false);
}

}  // namespace dyd::ui
