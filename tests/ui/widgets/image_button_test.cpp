// The image buttons drawn from the sample installation's button strips: the corners around a
// rounded button show the window under it (the key colour of the strip is transparent), and a
// strip whose bottom-left pixel is a colour of the button face loses exactly that colour.

#include <QApplication>
#include <QImage>
#include <QTest>

#include "sample_installation.h"
#include "support.h"
#include "ui/widgets/image_button.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

class ImageButtonTest : public QObject {
    Q_OBJECT

  private slots:
    // "OK", "Umiem" and the close button on a red window: the corner pixel shows red, the middle
    // of the button does not.
    void cornersShowTheWindowBelow_data() {
        QTest::addColumn<int>("image");
        QTest::newRow("OK") << 2;
        QTest::newRow("Umiem") << 4;
        QTest::newRow("close") << 18;
    }

    void cornersShowTheWindowBelow() {
        QFETCH(int, image);
        TempDir dir;
        LinkInstallation(DYD_SAMPLE, dir.path());
        ImageList images;
        images.Load(dir.path());
        QVERIFY(images.errors().empty());
        QWidget window;
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, Qt::red);
        window.setPalette(palette);
        window.resize(200, 100);
        ImageButton button(images, image, &window);
        button.move(10, 10);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(button.hasPicture());
        const QImage shot = window.grab().toImage();
        const QRect r = button.geometry();
        for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
            QCOMPARE(shot.pixelColor(corner), QColor(Qt::red));
        }
        QVERIFY(shot.pixelColor(r.center()) != QColor(Qt::red));
    }

    // The colour of each frame's bottom-left pixel is the transparent one, frame by frame.
    void theBottomLeftPixelNamesTheTransparentColour() {
        TempDir dir;
        QImage strip(20, 6, QImage::Format_RGB32);
        strip.fill(QColor(0, 0, 200));                 // frame 0: blue face
        strip.setPixelColor(0, 5, QColor(0, 255, 0));  // its key: green
        strip.setPixelColor(3, 2, QColor(0, 255, 0));  // green inside it too
        for (int x = 10; x < 20; ++x) {
            for (int y = 0; y < 6; ++y) {
                strip.setPixelColor(x, y, QColor(200, 200, 0));  // frame 1: yellow face
            }
        }
        strip.setPixelColor(10, 5, QColor(0, 255, 0));  // a green pixel in frame 1
        std::filesystem::create_directories(dir.path() + "/but_s");
        for (const std::string& name : ImageList::FileNames()) {
            QVERIFY(strip.save(QString::fromStdString(dir.path() + "/" + name), "BMP"));
        }
        ImageList images;
        images.Load(dir.path());
        QVERIFY(images.errors().empty());
        const QImage normal = images.Frame(2, 0).toImage();
        QCOMPARE(qAlpha(normal.pixel(0, 5)), 0);
        QCOMPARE(qAlpha(normal.pixel(3, 2)), 0);
        QCOMPARE(normal.pixelColor(5, 3), QColor(0, 0, 200));
        // Frame 1's bottom-left pixel is green as well: only green goes, the yellow face stays.
        const QImage highlighted = images.Frame(2, 1).toImage();
        QCOMPARE(qAlpha(highlighted.pixel(0, 5)), 0);
        QCOMPARE(highlighted.pixelColor(4, 2), QColor(200, 200, 0));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ImageButtonTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "image_button_test.moc"
