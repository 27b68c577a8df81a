// Draws the program's icon for the desktop: a scalable SVG and PNG pictures of the sizes the
// hicolor theme asks for, all from one list of shapes, so the pictures never drift apart.
//   icongen <icons folder> <application id>
// writes <folder>/hicolor/scalable/apps/<id>.svg and <folder>/hicolor/<n>x<n>/apps/<id>.png.
#include "GeneratorArguments.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>
#include <numbers>
#include <variant>
#include <vector>

namespace {

// The drawing's own units: a 256 x 256 square.
constexpr double Side = 256;

struct Box {
    double x, y, w, h, radius;
    QColor fill;
};
struct Disc {
    double cx, cy, r;
    QColor fill;
};
// A stroked circular arc with round ends; angles in degrees, counter-clockwise from 3 o'clock.
struct Arc {
    double cx, cy, r, from, to, width;
    QColor stroke;
};
using Shape = std::variant<Box, Disc, Arc>;

// A radio: a dark body with a lit display, a row of keys and a speaker, sending waves.
std::vector<Shape> radio() {
    const QColor body(36, 44, 60), display(120, 196, 232), key(232, 238, 246), speaker(240, 140, 70),
        wave(47, 128, 237);
    return {
        Arc{128, 96, 34, 55, 125, 14, wave},
        Arc{128, 96, 64, 58, 122, 14, wave},
        Box{20, 92, 216, 140, 28, body},
        Box{42, 114, 100, 58, 10, display},
        Disc{62, 200, 11, key},
        Disc{92, 200, 11, key},
        Disc{122, 200, 11, key},
        Disc{186, 162, 38, speaker},
        Disc{186, 162, 14, body},
    };
}

QPointF onCircle(double cx, double cy, double r, double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    return {cx + r * std::cos(a), cy - r * std::sin(a)};
}

QString number(double value) {
    return QString::number(value, 'f', 2).remove(QRegularExpression("\\.?0+$"));
}

QString svg(const std::vector<Shape> &shapes) {
    QString text;
    QTextStream out(&text);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
    for (const Shape &shape : shapes) {
        if (const auto *b = std::get_if<Box>(&shape)) {
            out << "  <rect x=\"" << number(b->x) << "\" y=\"" << number(b->y) << "\" width=\"" << number(b->w)
                << "\" height=\"" << number(b->h) << "\" rx=\"" << number(b->radius) << "\" fill=\"" << b->fill.name()
                << "\"/>\n";
        } else if (const auto *d = std::get_if<Disc>(&shape)) {
            out << "  <circle cx=\"" << number(d->cx) << "\" cy=\"" << number(d->cy) << "\" r=\"" << number(d->r)
                << "\" fill=\"" << d->fill.name() << "\"/>\n";
        } else if (const auto *a = std::get_if<Arc>(&shape)) {
            const QPointF start = onCircle(a->cx, a->cy, a->r, a->from);
            const QPointF end = onCircle(a->cx, a->cy, a->r, a->to);
            // Sweep flag 0: counter-clockwise on the screen, as the angles run.
            out << "  <path d=\"M " << number(start.x()) << ' ' << number(start.y()) << " A " << number(a->r) << ' '
                << number(a->r) << " 0 0 0 " << number(end.x()) << ' ' << number(end.y())
                << "\" fill=\"none\" stroke=\"" << a->stroke.name() << "\" stroke-width=\"" << number(a->width)
                << "\" stroke-linecap=\"round\"/>\n";
        }
    }
    out << "</svg>\n";
    return text;
}

QImage png(const std::vector<Shape> &shapes, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / Side, size / Side);
    for (const Shape &shape : shapes) {
        if (const auto *b = std::get_if<Box>(&shape)) {
            p.setPen(Qt::NoPen);
            p.setBrush(b->fill);
            p.drawRoundedRect(QRectF(b->x, b->y, b->w, b->h), b->radius, b->radius);
        } else if (const auto *d = std::get_if<Disc>(&shape)) {
            p.setPen(Qt::NoPen);
            p.setBrush(d->fill);
            p.drawEllipse(QPointF(d->cx, d->cy), d->r, d->r);
        } else if (const auto *a = std::get_if<Arc>(&shape)) {
            QPen pen(a->stroke, a->width);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            QPainterPath path(onCircle(a->cx, a->cy, a->r, a->from));
            path.arcTo(QRectF(a->cx - a->r, a->cy - a->r, 2 * a->r, 2 * a->r), a->from, a->to - a->from);
            p.drawPath(path);
        }
    }
    return image;
}

} // namespace

int main(int argc, char *argv[]) {
    if (const auto answered = AnswerGeneratorArguments(
            argc, argv, 2, "icongen <icons folder> <application id>",
            "Draws the desktop icon into <icons folder>/hicolor: an SVG and PNGs from 16 to 256 pixels.")) {
        return *answered;
    }
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QDir root(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor"));
    const QString id = QString::fromLocal8Bit(argv[2]);
    const std::vector<Shape> shapes = radio();

    const QString scalable = root.filePath(QStringLiteral("scalable/apps"));
    QFile file(scalable + QLatin1Char('/') + id + QStringLiteral(".svg"));
    if (!QDir().mkpath(scalable) || !file.open(QIODevice::WriteOnly) || file.write(svg(shapes).toUtf8()) < 0) {
        err << "icongen: cannot write " << file.fileName() << '\n';
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = root.filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString path = folder + QLatin1Char('/') + id + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !png(shapes, size).save(path)) {
            err << "icongen: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
