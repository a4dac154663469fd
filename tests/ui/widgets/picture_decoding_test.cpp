// Uncompressed 24-bit bitmaps are decoded by copying their rows: every picture of the sample
// installation, and bitmaps with padded rows or stored top row first, come out pixel for pixel as
// Qt's own reader gives them; any other bitmap and damaged bytes are left to that reader.

#include <QBuffer>
#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <string>

#include "core/files.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;

namespace {

QImage QtReads(const QByteArray& bytes) {
    QImage image;
    image.loadFromData(bytes, "BMP");
    return image.convertToFormat(QImage::Format_RGB32);
}

std::string Bytes(const QByteArray& data) { return {data.constData(), static_cast<std::size_t>(data.size())}; }

// A bitmap written by Qt: width 7 gives rows of 21 bytes padded to 24.
QByteArray Written(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 30, y * 40, (x * y * 7) % 256));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

void PutLe32(QByteArray& bytes, int at, std::int32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
    }
}

}  // namespace

class PictureDecodingTest : public QObject {
    Q_OBJECT

  private slots:
    void everySamplePictureAsQtReadsIt() {
        int seen = 0;
        QDirIterator it(QStringLiteral(DYD_SAMPLE), {QStringLiteral("*.bmp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const std::optional<std::string> bytes = ReadFileBytes(path.toStdString());
            QVERIFY(bytes.has_value());
            const QImage ours = DecodeTrueColourBmp(*bytes);
            QVERIFY2(!ours.isNull(), qPrintable(path));
            QImageReader reader(path, "bmp");
            QCOMPARE(ours.convertToFormat(QImage::Format_RGB32),
                     reader.read().convertToFormat(QImage::Format_RGB32));
            QCOMPARE(DecodePicture(path).toImage().convertToFormat(QImage::Format_RGB32),
                     ours.convertToFormat(QImage::Format_RGB32));
            ++seen;
        }
        QVERIFY(seen > 20);
    }

    void paddedRowsAndTopRowFirst() {
        const QByteArray bottomUp = Written(7, 5);
        QCOMPARE(bottomUp.at(28), char(24));  // Qt wrote 24 bits per pixel
        QCOMPARE(DecodeTrueColourBmp(Bytes(bottomUp)).convertToFormat(QImage::Format_RGB32),
                 QtReads(bottomUp));
        // The same pixels with the rows reversed and a negative height: stored top row first.
        QByteArray topDown = bottomUp;
        const int at = 54;
        const int stride = 24;
        for (int row = 0; row < 5; ++row) {
            topDown.replace(at + row * stride, stride, bottomUp.mid(at + (4 - row) * stride, stride));
        }
        PutLe32(topDown, 22, -5);
        QCOMPARE(DecodeTrueColourBmp(Bytes(topDown)).convertToFormat(QImage::Format_RGB32),
                 QtReads(bottomUp));
    }

    void otherBitmapsAndDamagedBytesAreLeftAlone_data() {
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::newRow("last row short") << 4 << 0 << 0;  // past its 3 bytes of padding
        QTest::newRow("header only") << (Written(7, 5).size() - 40) << 0 << 0;
        QTest::newRow("8 bits per pixel") << 0 << 28 << 8;
        QTest::newRow("compressed") << 0 << 30 << 1;
        QTest::newRow("pixels past the end") << 0 << 10 << 1000000;
        QTest::newRow("no width") << 0 << 18 << 0;
        QTest::newRow("huge height") << 0 << 22 << 1000000;
    }

    void otherBitmapsAndDamagedBytesAreLeftAlone() {
        QFETCH(int, cut);
        QFETCH(int, field);
        QFETCH(int, value);
        QByteArray bytes = Written(7, 5);
        bytes.chop(cut);
        if (field != 0) {
            if (field == 28 || field == 30) {
                bytes[field] = static_cast<char>(value);
            } else {
                PutLe32(bytes, field, value);
            }
        }
        QVERIFY(DecodeTrueColourBmp(Bytes(bytes)).isNull());
        QVERIFY(DecodeTrueColourBmp("BM").isNull());
    }
};

QTEST_MAIN(PictureDecodingTest)
#include "picture_decoding_test.moc"
