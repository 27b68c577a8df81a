// Draws the default remote-control layout: a picture of a remote and the text file with the
// rectangle of each button, both from the same geometry, so they always match.
//
//   remotegen <folder>     writes <folder>/remote1.png, remote1@2x.png (the same drawing at
//                          twice the size) and remote1.txt
//
// Buttons sit on a flat body colour with a gap all round, so a picture test can find each
// drawn button by its colour alone.

#include "GeneratorArguments.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Width = 280;
constexpr int Height = 720;

const QColor Backdrop(0xd4, 0xd7, 0xdc);
const QColor Body(0x2b, 0x2d, 0x31);
const QColor Rim(0x46, 0x4a, 0x51);
const QColor Pad(0x33, 0x36, 0x3b); // the d-pad's dish: close to the body, read as body
const QColor Key(0x5b, 0x60, 0x69);
const QColor KeyTop(0x6a, 0x70, 0x7a);
const QColor Accent(0x3f, 0x6e, 0xb5);
const QColor PowerRed(0xc8, 0x2c, 0x2c);
const QColor Ink(0xf2, 0xf3, 0xf5);
const QColor Print(0x9a, 0xa0, 0xaa);

struct Button {
    QString command;
    QRectF box;
};

QFont font(int pixels, bool bold = true) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A key face: a rounded shape with a slightly lighter top half, like a moulded rubber key.
void face(QPainter &p, const QPainterPath &shape, const QColor &colour) {
    const QRectF r = shape.boundingRect();
    QLinearGradient shade(r.topLeft(), r.bottomLeft());
    shade.setColorAt(0, colour.lighter(118));
    shade.setColorAt(1, colour.darker(108));
    p.fillPath(shape, shade);
}

QPainterPath rounded(const QRectF &r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

void label(QPainter &p, const QRectF &r, const QString &text, int pixels, const QColor &colour = Ink) {
    p.setFont(font(pixels));
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

void triangle(QPainter &p, QPointF centre, double size, double angleDegrees) {
    QPolygonF tri;
    for (int i = 0; i < 3; ++i) {
        const double a = (angleDegrees + i * 120.0) * M_PI / 180.0;
        tri << QPointF(centre.x() + size * std::cos(a), centre.y() - size * std::sin(a));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPolygon(tri);
}

void powerSymbol(QPainter &p, QPointF c, double r) {
    p.setPen(QPen(Ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 120 * 16, 300 * 16);
    p.drawLine(QPointF(c.x(), c.y() - r - 2), QPointF(c.x(), c.y() - 1));
}

void speaker(QPainter &p, QPointF c) {
    QPolygonF cone;
    cone << QPointF(c.x() - 11, c.y() - 4) << QPointF(c.x() - 6, c.y() - 4) << QPointF(c.x() + 1, c.y() - 10)
         << QPointF(c.x() + 1, c.y() + 10) << QPointF(c.x() - 6, c.y() + 4) << QPointF(c.x() - 11, c.y() + 4);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPolygon(cone);
    p.setPen(QPen(Ink, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() + 5, c.y() - 5), QPointF(c.x() + 13, c.y() + 5));
    p.drawLine(QPointF(c.x() + 5, c.y() + 5), QPointF(c.x() + 13, c.y() - 5));
}

std::vector<Button> draw(QPainter &p) {
    std::vector<Button> buttons;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(QRect(0, 0, Width, Height), Backdrop);

    // The body with a soft drop shadow and a lighter rim.
    const QRectF body(14, 8, 252, 704);
    p.fillPath(rounded(body.translated(0, 3), 48), QColor(0, 0, 0, 60));
    p.fillPath(rounded(body, 48), Rim);
    p.fillPath(rounded(body.adjusted(3, 3, -3, -3), 45), Body);

    // Infrared window and the power LED.
    p.fillPath(rounded(QRectF(118, 16, 44, 9), 4), QColor(0x14, 0x0b, 0x0c));
    p.fillPath(circle(QPointF(62, 52), 4), QColor(0xe0, 0x3a, 0x2a));

    // Power, top right.
    const QPointF powerCentre(212, 60);
    face(p, circle(powerCentre, 22), PowerRed);
    powerSymbol(p, powerCentre, 9);
    buttons.push_back({QStringLiteral("POWER"), QRectF(190, 38, 44, 44)});
    label(p, QRectF(182, 86, 60, 12), QStringLiteral("POWER"), 9, Print);

    // The d-pad: four keys and OK on a round dish. OK comes first in the file, so a click near
    // the middle is OK even where rectangles would touch.
    const QPointF pad(140, 222);
    p.fillPath(circle(pad, 106), Pad);
    const QRectF ok(pad.x() - 34, pad.y() - 34, 68, 68);
    face(p, circle(pad, 34), Accent);
    label(p, ok, QStringLiteral("OK"), 20);
    buttons.push_back({QStringLiteral("OK"), ok});
    const QRectF up(108, 126, 64, 46), down(108, 272, 64, 46), left(44, 190, 46, 64), right(190, 190, 46, 64);
    for (const auto &[command, box, angle] :
         {std::tuple{QStringLiteral("UP"), up, 90.0}, std::tuple{QStringLiteral("DOWN"), down, 270.0},
          std::tuple{QStringLiteral("LEFT"), left, 180.0}, std::tuple{QStringLiteral("RIGHT"), right, 0.0}}) {
        face(p, rounded(box, 12), Key);
        triangle(p, box.center(), 10, angle);
        buttons.push_back({command, box});
    }

    // Back out and go home, under the pad.
    const QRectF exit(34, 344, 94, 38), home(152, 344, 94, 38);
    face(p, rounded(exit, 19), Key);
    label(p, exit, QStringLiteral("EXIT"), 15);
    face(p, rounded(home, 19), Key);
    label(p, home, QStringLiteral("HOME"), 15);
    buttons.push_back({QStringLiteral("EXIT"), exit});
    buttons.push_back({QStringLiteral("HOME"), home});

    // Volume rocker on the left, mute on the right.
    const QRectF volUp(40, 410, 64, 68), volDown(40, 492, 64, 68);
    face(p, rounded(volUp, 22), KeyTop);
    label(p, volUp, QStringLiteral("+"), 30);
    face(p, rounded(volDown, 22), KeyTop);
    label(p, volDown, QString(QChar(0x2212)), 30);
    buttons.push_back({QStringLiteral("VOLp"), volUp});
    buttons.push_back({QStringLiteral("VOLm"), volDown});
    label(p, QRectF(106, 470, 40, 30), QStringLiteral("VOL"), 12, Print);
    const QPointF muteCentre(202, 485);
    face(p, circle(muteCentre, 30), Key);
    speaker(p, muteCentre);
    buttons.push_back({QStringLiteral("MUTE"), QRectF(172, 455, 60, 60)});
    label(p, QRectF(172, 520, 60, 14), QStringLiteral("MUTE"), 10, Print);

    // Transport keys.
    const QRectF stop(34, 592, 66, 54), pause(107, 592, 66, 54), record(180, 592, 66, 54);
    for (const QRectF &key : {stop, pause, record}) {
        face(p, rounded(key, 12), Key);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(stop.center().x() - 8, stop.top() + 11, 16, 16));
    p.drawRect(QRectF(pause.center().x() - 8, pause.top() + 11, 6, 16));
    p.drawRect(QRectF(pause.center().x() + 2, pause.top() + 11, 6, 16));
    p.setBrush(QColor(0xe5, 0x3d, 0x3d));
    p.drawEllipse(QPointF(record.center().x(), record.top() + 19), 8.5, 8.5);
    label(p, QRectF(stop.left(), stop.top() + 31, stop.width(), 16), QStringLiteral("STOP"), 10);
    label(p, QRectF(pause.left(), pause.top() + 31, pause.width(), 16), QStringLiteral("PAUSE"), 10);
    label(p, QRectF(record.left(), record.top() + 31, record.width(), 16), QStringLiteral("REC"), 10);
    buttons.push_back({QStringLiteral("STOP"), stop});
    buttons.push_back({QStringLiteral("PAUSE"), pause});
    buttons.push_back({QStringLiteral("RECORD"), record});

    label(p, QRectF(40, 668, 200, 20), QStringLiteral("CV Remote"), 13, Print);
    return buttons;
}

QString number(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The smallest whole-percent rectangle that holds the button.
QString layoutLine(const Button &b) {
    const int top = int(std::floor(100.0 * b.box.top() / Height));
    const int bottom = int(std::ceil(100.0 * b.box.bottom() / Height));
    const int left = int(std::floor(100.0 * b.box.left() / Width));
    const int right = int(std::ceil(100.0 * b.box.right() / Width));
    return number(top) + QStringLiteral(", ") + number(bottom) + QStringLiteral(", ") + number(left) +
           QStringLiteral(", ") + number(right) + QStringLiteral(", ") + b.command + QStringLiteral("\r\n");
}

} // namespace

int main(int argc, char **argv) {
    if (const auto answered = AnswerGeneratorArguments(
            argc, argv, 1, "remotegen <folder>",
            "Draws the default remote layout into <folder>: remote1.png, remote1@2x.png and remote1.txt.")) {
        return *answered;
    }
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    // The picture, and the same drawing at twice the size for high-resolution screens.
    std::vector<Button> buttons;
    for (const int scale : {1, 2}) {
        QImage picture(Width * scale, Height * scale, QImage::Format_RGB32);
        QPainter painter(&picture);
        painter.scale(scale, scale);
        buttons = draw(painter);
        painter.end();
        const QString name = scale == 1 ? QStringLiteral("remote1.png") : QStringLiteral("remote1@2x.png");
        if (!picture.save(folder.filePath(name))) {
            std::fprintf(stderr, "remotegen: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    QString text = QStringLiteral("# Top,Bottom,Left,Right,Function\r\n\r\n");
    for (const Button &b : buttons) {
        text += layoutLine(b);
    }
    QFile file(folder.filePath(QStringLiteral("remote1.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toLatin1()) < 0) {
        std::fprintf(stderr, "remotegen: cannot write remote1.txt\n");
        return 1;
    }
    return 0;
}
