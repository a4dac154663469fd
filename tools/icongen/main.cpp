// dydaktor-icongen: draws the program's icon. One drawing, described once below as rounded
// rectangles and a stroke, becomes the PNG files of the usual sizes (painted with QPainter) and
// the scalable SVG file (written as text from the same figures).
//
//   dydaktor-icongen OUT_DIR
//
// writes OUT_DIR/<n>x<n>/apps/dydaktor.png and OUT_DIR/scalable/apps/dydaktor.svg, the layout of
// the hicolor icon theme. Exit status: 0 done, 2 wrong arguments or a file that cannot be written.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>

namespace {

// Figures on a 256 by 256 canvas.
constexpr double kCanvas = 256;

struct Card {
    double x, y, w, h, radius, angle;  // angle in degrees about the card's centre
    const char* fill;
};

constexpr double kBackground[] = {16, 16, 224, 224, 44};  // x, y, w, h, radius
constexpr const char* kBackgroundTop = "#3479c9";
constexpr const char* kBackgroundBottom = "#1b4a8a";
constexpr Card kBackCard{58, 50, 118, 150, 12, -11, "#d6e2f3"};
constexpr Card kFrontCard{86, 68, 118, 150, 12, 7, "#ffffff"};
// Two lines of text on the front card, in its own frame: x, y, w, h.
constexpr double kLines[][4] = {{102, 92, 86, 12}, {102, 116, 60, 12}};
constexpr const char* kLineFill = "#9db3d4";
// The tick of a known word, in the front card's frame.
constexpr double kTick[][2] = {{110, 170}, {135, 194}, {182, 144}};
constexpr double kTickWidth = 17;
constexpr const char* kTickColour = "#d62839";

QColor Colour(const char* name) {
    return QColor(QString::fromLatin1(name));
}

QTransform CardFrame(const Card& card) {
    const double cx = card.x + card.w / 2;
    const double cy = card.y + card.h / 2;
    QTransform t;
    t.translate(cx, cy);
    t.rotate(card.angle);
    t.translate(-cx, -cy);
    return t;
}

QImage Paint(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    p.setPen(Qt::NoPen);

    QLinearGradient gradient(0, kBackground[1], 0, kBackground[1] + kBackground[3]);
    gradient.setColorAt(0, Colour(kBackgroundTop));
    gradient.setColorAt(1, Colour(kBackgroundBottom));
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(kBackground[0], kBackground[1], kBackground[2], kBackground[3]),
                      kBackground[4], kBackground[4]);

    const QTransform base = p.transform();
    for (const Card& card : {kBackCard, kFrontCard}) {
        p.setTransform(CardFrame(card) * base);
        p.setBrush(Colour(card.fill));
        p.drawRoundedRect(QRectF(card.x, card.y, card.w, card.h), card.radius, card.radius);
    }
    p.setBrush(Colour(kLineFill));
    for (const auto& line : kLines) {
        p.drawRoundedRect(QRectF(line[0], line[1], line[2], line[3]), line[3] / 2, line[3] / 2);
    }
    QPainterPath tick;
    tick.moveTo(kTick[0][0], kTick[0][1]);
    tick.lineTo(kTick[1][0], kTick[1][1]);
    tick.lineTo(kTick[2][0], kTick[2][1]);
    QPen pen(Colour(kTickColour), kTickWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    p.end();
    return image;
}

QString Num(double value) {
    return QString::number(value, 'g', 6);
}

QString CardTransform(const Card& card) {
    return QStringLiteral("rotate(%1 %2 %3)")
        .arg(Num(card.angle), Num(card.x + card.w / 2), Num(card.y + card.h / 2));
}

QString Svg() {
    QString s;
    s += QStringLiteral(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
             "viewBox=\"0 0 %1 %1\">\n"
             "  <defs>\n"
             "    <linearGradient id=\"tlo\" x1=\"0\" y1=\"%2\" x2=\"0\" y2=\"%3\" "
             "gradientUnits=\"userSpaceOnUse\">\n"
             "      <stop offset=\"0\" stop-color=\"%4\"/>\n"
             "      <stop offset=\"1\" stop-color=\"%5\"/>\n"
             "    </linearGradient>\n"
             "  </defs>\n")
             .arg(Num(kCanvas), Num(kBackground[1]), Num(kBackground[1] + kBackground[3]),
                  QString::fromLatin1(kBackgroundTop), QString::fromLatin1(kBackgroundBottom));
    s += QStringLiteral(
             "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"url(#tlo)\"/>\n")
             .arg(Num(kBackground[0]), Num(kBackground[1]), Num(kBackground[2]),
                  Num(kBackground[3]), Num(kBackground[4]));
    const auto card = [](const Card& c) {
        return QStringLiteral(
                   "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\" "
                   "transform=\"%7\"/>\n")
            .arg(Num(c.x), Num(c.y), Num(c.w), Num(c.h), Num(c.radius),
                 QString::fromLatin1(c.fill), CardTransform(c));
    };
    s += card(kBackCard);
    s += card(kFrontCard);
    s += QStringLiteral("  <g transform=\"%1\">\n").arg(CardTransform(kFrontCard));
    for (const auto& line : kLines) {
        s += QStringLiteral(
                 "    <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\"/>\n")
                 .arg(Num(line[0]), Num(line[1]), Num(line[2]), Num(line[3]), Num(line[3] / 2),
                      QString::fromLatin1(kLineFill));
    }
    s += QStringLiteral(
             "    <polyline points=\"%1,%2 %3,%4 %5,%6\" fill=\"none\" stroke=\"%7\" "
             "stroke-width=\"%8\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n")
             .arg(Num(kTick[0][0]), Num(kTick[0][1]), Num(kTick[1][0]), Num(kTick[1][1]),
                  Num(kTick[2][0]), Num(kTick[2][1]), QString::fromLatin1(kTickColour),
                  Num(kTickWidth));
    s += QStringLiteral("  </g>\n</svg>\n");
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("Użycie: dydaktor-icongen KATALOG\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        if (!QDir().mkpath(folder) ||
            !Paint(size).save(folder + QStringLiteral("/dydaktor.png"), "PNG")) {
            std::fprintf(stderr, "dydaktor-icongen: nie można zapisać %s\n",
                         qPrintable(folder + QStringLiteral("/dydaktor.png")));
            return 2;
        }
    }
    const QString scalable = out + QStringLiteral("/scalable/apps");
    QFile svg(scalable + QStringLiteral("/dydaktor.svg"));
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(Svg().toUtf8()) < 0) {
        std::fprintf(stderr, "dydaktor-icongen: nie można zapisać %s\n",
                     qPrintable(svg.fileName()));
        return 2;
    }
    return 0;
}
