// Draws the pictures of the default display skin into <data folder>/320x240 (and the "no cover"
// picture into <data folder>/coverart.png): one dark, flat look for every screen, a
// recognisable icon for every main-menu item, round buttons and small status icons.
#include "GeneratorArguments.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <map>

namespace {

// The palette of the skin.
const QColor Body(16, 20, 28);
const QColor Bar(26, 33, 48);
const QColor BarLine(47, 128, 237);
const QColor Panel(24, 30, 42);
const QColor PanelEdge(44, 56, 78);
const QColor Tile(28, 35, 50);
const QColor TileEdge(58, 74, 104);
const QColor Glyph(80, 114, 168);
const QColor Light(225, 232, 245);
const QColor Accent(47, 128, 237);
const QColor Warn(242, 153, 74);
const QColor Danger(235, 87, 87);

QFont font(int pixels, bool bold = true) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// 1 draws the pictures, 2 the same drawings at twice the size ("name@2x.png") for screens of
// two device pixels per pixel. Every drawing is in the pictures' own coordinates: a painter on
// a canvas of device pixel ratio 2 scales it.
int Scale = 1;

QImage canvas(int width, int height, QColor fill = Qt::transparent) {
    QImage image(width * Scale, height * Scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(Scale);
    image.fill(fill);
    return image;
}

void save(const QImage &image, QString path) {
    QDir().mkpath(QFileInfo(path).path());
    if (Scale != 1) {
        path.insert(path.lastIndexOf(u'.'), QStringLiteral("@%1x").arg(Scale));
    }
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        std::exit(1);
    }
}

QPen pen(QColor colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// ---- Backgrounds (320 by 240) -------------------------------------------------------------

// Every screen: a flat body and the top bar that holds the status icons, the time and the
// volume.
QImage screenBase() {
    QImage image = canvas(320, 240, Body);
    QPainter p(&image);
    p.fillRect(0, 0, 320, 24, Bar);
    p.fillRect(0, 24, 320, 1, BarLine);
    return image;
}

QImage mainBackground() {
    return screenBase();
}

void listRows(QPainter &p, int right, int first, int rows) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(PanelEdge, 1));
    p.setBrush(Panel);
    p.drawRoundedRect(QRectF(5.5, 31.5, right - 5, first + rows * 24 - 28), 6, 6);
    p.setPen(QPen(QColor(34, 43, 60), 1));
    for (int row = 1; row < rows; ++row) {
        const double y = 33.5 + row * 24;
        p.drawLine(QPointF(10, y), QPointF(right - 4, y));
    }
}

QImage listBackground() {
    QImage image = screenBase();
    QPainter p(&image);
    listRows(p, 274, 36, 7);
    // The column of the buttons.
    p.setPen(QPen(PanelEdge, 1));
    p.setBrush(Panel);
    p.drawRoundedRect(QRectF(279.5, 31.5, 37, 202), 6, 6);
    return image;
}

QImage playingBackground() {
    QImage image = screenBase();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Frame of the cover and the text panel beside it.
    p.setPen(QPen(PanelEdge, 1));
    p.setBrush(Panel);
    p.drawRoundedRect(QRectF(8.5, 32.5, 87, 87), 6, 6);
    p.drawRoundedRect(QRectF(96.5, 32.5, 218, 87), 6, 6);
    p.drawRoundedRect(QRectF(8.5, 122.5, 306, 52), 6, 6);
    // The control bar of the buttons.
    p.setBrush(Bar);
    p.drawRoundedRect(QRectF(52.5, 191.5, 248, 42), 8, 8);
    return image;
}

void drawKeyboard(QPainter &p, QRectF area) {
    const QStringList rows{"1234567890", "QWERTYUIOP", "ASDFGHJKL", "^ZXCVBNM?"};
    const double key = 22;
    p.setFont(font(11));
    for (int r = 0; r < rows.size(); ++r) {
        const QString &row = rows[r];
        const double left = area.center().x() - row.size() * key / 2;
        for (int c = 0; c < row.size(); ++c) {
            const QRectF cell(left + c * key + 1, area.top() + r * (key + 2), key - 2, key - 2);
            const bool cursor = row[c] == u'G';
            p.setPen(QPen(cursor ? Accent : PanelEdge, 1));
            p.setBrush(cursor ? QColor(30, 60, 110) : Tile);
            p.drawRoundedRect(cell, 3, 3);
            p.setPen(Light);
            p.drawText(cell, Qt::AlignCenter, row.mid(c, 1));
        }
    }
    const double y = area.top() + 4 * (key + 2);
    const QStringList wide{"_", "space", "*"};
    const double widths[] = {66, 88, 66};
    double x = area.center().x() - (66 + 88 + 66 + 4) / 2;
    for (int i = 0; i < 3; ++i) {
        const QRectF cell(x, y, widths[i], key - 2);
        p.setPen(QPen(PanelEdge, 1));
        p.setBrush(Tile);
        p.drawRoundedRect(cell, 3, 3);
        p.setPen(Light);
        p.drawText(cell, Qt::AlignCenter, wide[i]);
        x += widths[i] + 2;
    }
}

QImage searchBackground() {
    QImage image = screenBase();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(PanelEdge, 1));
    p.setBrush(Panel);
    p.drawRoundedRect(QRectF(8.5, 50.5, 303, 182), 8, 8);
    drawKeyboard(p, QRectF(8, 62, 304, 160));
    return image;
}

void warningSign(QPainter &p, QPointF centre, double size) {
    QPainterPath triangle;
    triangle.moveTo(centre.x(), centre.y() - size / 2);
    triangle.lineTo(centre.x() + size / 2, centre.y() + size / 2 - 4);
    triangle.lineTo(centre.x() - size / 2, centre.y() + size / 2 - 4);
    triangle.closeSubpath();
    p.setPen(pen(Warn, 3));
    p.setBrush(QColor(60, 40, 20));
    p.drawPath(triangle);
    p.setPen(pen(Warn, 4));
    p.drawLine(QPointF(centre.x(), centre.y() - size / 6), QPointF(centre.x(), centre.y() + size / 8));
    p.drawPoint(QPointF(centre.x(), centre.y() + size / 4));
}

QImage errorBackground() {
    QImage image = screenBase();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 50, 50), 1));
    p.setBrush(QColor(36, 22, 26));
    p.drawRoundedRect(QRectF(6.5, 32.5, 307, 140), 8, 8);
    warningSign(p, QPointF(160, 64), 50);
    return image;
}

QImage messageBackground() {
    QImage image = screenBase();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A speech bubble that holds the message.
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(6.5, 66.5, 307, 120), 10, 10);
    QPainterPath tail;
    tail.moveTo(40, 186);
    tail.lineTo(40, 200);
    tail.lineTo(58, 186);
    tail.closeSubpath();
    p.setPen(QPen(Accent, 1.5));
    p.setBrush(Panel);
    p.drawPath(bubble.united(tail));
    return image;
}

QImage standbyBackground() {
    QImage image = canvas(320, 240, QColor(6, 8, 14));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 0, 320, 24, QColor(12, 15, 24));
    // A crescent moon and a few stars.
    QPainterPath moon;
    moon.addEllipse(QPointF(60, 110), 30, 30);
    QPainterPath bite;
    bite.addEllipse(QPointF(74, 100), 27, 27);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 84, 120));
    p.drawPath(moon.subtracted(bite));
    p.setBrush(QColor(90, 100, 130));
    for (const QPointF star :
         {QPointF(110, 60), QPointF(270, 50), QPointF(290, 170), QPointF(30, 200), QPointF(200, 40)}) {
        p.drawEllipse(star, 1.5, 1.5);
    }
    return image;
}

// ---- Menu icons (64 by 48) ----------------------------------------------------------------

using Painter = std::function<void(QPainter &)>;

// A tile with the item's glyph in its middle; the caption is written over it by the display.
QImage menuIcon(const Painter &glyph) {
    QImage image = canvas(64, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(TileEdge, 1));
    p.setBrush(Tile);
    p.drawRoundedRect(QRectF(0.5, 0.5, 63, 47), 7, 7);
    p.translate(32, 22);
    p.setPen(pen(Glyph, 2.5));
    p.setBrush(Qt::NoBrush);
    glyph(p);
    return image;
}

void star(QPainter &p, double outer, double inner) {
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const double radius = i % 2 ? inner : outer;
        points << QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    p.drawPolygon(points);
}

void clockFace(QPainter &p, double radius) {
    p.drawEllipse(QPointF(0, 0), radius, radius);
    p.drawLine(QPointF(0, 0), QPointF(0, -radius * 0.65));
    p.drawLine(QPointF(0, 0), QPointF(radius * 0.5, radius * 0.2));
}

void powerSymbol(QPainter &p, double radius) {
    p.drawArc(QRectF(-radius, -radius, 2 * radius, 2 * radius), 120 * 16, -240 * 16);
    p.drawLine(QPointF(0, -radius - 2), QPointF(0, -radius * 0.2));
}

void globe(QPainter &p, double radius) {
    p.drawEllipse(QPointF(0, 0), radius, radius);
    p.drawEllipse(QPointF(0, 0), radius * 0.45, radius);
    p.drawLine(QPointF(-radius, 0), QPointF(radius, 0));
}

std::map<QString, Painter> menuGlyphs() {
    std::map<QString, Painter> glyphs;
    glyphs["stations"] = [](QPainter &p) { // a mast sending waves
        p.drawLine(QPointF(0, -6), QPointF(-8, 16));
        p.drawLine(QPointF(0, -6), QPointF(8, 16));
        p.drawLine(QPointF(-5, 8), QPointF(5, 8));
        p.setBrush(Glyph);
        p.drawEllipse(QPointF(0, -8), 2.5, 2.5);
        p.setBrush(Qt::NoBrush);
        for (double r : {8.0, 14.0}) {
            p.drawArc(QRectF(-r, -8 - r, 2 * r, 2 * r), 30 * 16, 120 * 16);
        }
    };
    glyphs["recordings"] = [](QPainter &p) { // a tape reel pair
        p.drawRoundedRect(QRectF(-18, -12, 36, 24), 4, 4);
        p.drawEllipse(QPointF(-8, -1), 5, 5);
        p.drawEllipse(QPointF(8, -1), 5, 5);
        p.drawLine(QPointF(-8, 6), QPointF(8, 6));
    };
    glyphs["search"] = [](QPainter &p) { // a magnifier
        p.drawEllipse(QPointF(-4, -4), 10, 10);
        p.setPen(pen(Glyph, 4));
        p.drawLine(QPointF(4, 4), QPointF(13, 13));
    };
    glyphs["settings"] = [](QPainter &p) { // a gear
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.rotate(i * 45);
            p.drawLine(QPointF(0, -11), QPointF(0, -15));
            p.restore();
        }
        p.drawEllipse(QPointF(0, 0), 11, 11);
        p.drawEllipse(QPointF(0, 0), 4, 4);
    };
    glyphs["favourites"] = [](QPainter &p) { star(p, 15, 6.5); };
    glyphs["podcasts"] = [](QPainter &p) { // a microphone
        p.drawRoundedRect(QRectF(-6, -16, 12, 20), 6, 6);
        p.drawArc(QRectF(-11, -8, 22, 20), 180 * 16, 180 * 16);
        p.drawLine(QPointF(0, 12), QPointF(0, 17));
        p.drawLine(QPointF(-6, 17), QPointF(6, 17));
    };
    glyphs["alarms"] = [](QPainter &p) { // a bell
        QPainterPath bell;
        bell.moveTo(-12, 9);
        bell.cubicTo(-8, 4, -10, -14, 0, -14);
        bell.cubicTo(10, -14, 8, 4, 12, 9);
        bell.closeSubpath();
        p.drawPath(bell);
        p.drawArc(QRectF(-4, 7, 8, 8), 180 * 16, 180 * 16);
    };
    glyphs["sleeptimer"] = [](QPainter &p) { // a moon and z
        QPainterPath moon;
        moon.addEllipse(QPointF(-3, 0), 13, 13);
        QPainterPath bite;
        bite.addEllipse(QPointF(4, -5), 11, 11);
        p.setBrush(Glyph);
        p.setPen(Qt::NoPen);
        p.drawPath(moon.subtracted(bite));
        p.setPen(pen(Glyph, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF{QPointF(8, -14), QPointF(15, -14), QPointF(8, -7), QPointF(15, -7)});
    };
    glyphs["equalizer"] = [](QPainter &p) { // sliders
        const double knobs[] = {4, -8, 2, -4};
        for (int i = 0; i < 4; ++i) {
            const double x = -12 + i * 8;
            p.drawLine(QPointF(x, -14), QPointF(x, 14));
            p.setBrush(Glyph);
            p.drawRect(QRectF(x - 3, knobs[i] - 2, 6, 4));
            p.setBrush(Qt::NoBrush);
        }
    };
    glyphs["weather"] = [](QPainter &p) { // sun behind a cloud
        p.drawEllipse(QPointF(-6, -6), 7, 7);
        for (int i = 0; i < 6; ++i) {
            p.save();
            p.translate(-6, -6);
            p.rotate(150 + i * 36);
            p.drawLine(QPointF(0, -10), QPointF(0, -13));
            p.restore();
        }
        QPainterPath cloud;
        cloud.addEllipse(QPointF(2, 6), 7, 7);
        cloud.addEllipse(QPointF(10, 4), 8, 8);
        cloud.addRoundedRect(QRectF(-6, 6, 24, 8), 4, 4);
        p.setBrush(Tile);
        p.drawPath(cloud.simplified());
    };
    glyphs["stocks"] = [](QPainter &p) { // a rising chart
        p.drawLine(QPointF(-16, 14), QPointF(16, 14));
        p.drawLine(QPointF(-16, 14), QPointF(-16, -14));
        p.drawPolyline(QPolygonF{QPointF(-12, 8), QPointF(-4, 0), QPointF(2, 5), QPointF(13, -9)});
        p.drawPolyline(QPolygonF{QPointF(7, -9), QPointF(13, -9), QPointF(13, -3)});
    };
    glyphs["news"] = [](QPainter &p) { // a newspaper
        p.drawRoundedRect(QRectF(-16, -13, 32, 26), 2, 2);
        p.setBrush(Glyph);
        p.drawRect(QRectF(-11, -8, 9, 8));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(2, -7), QPointF(11, -7));
        p.drawLine(QPointF(2, -2), QPointF(11, -2));
        p.drawLine(QPointF(-11, 5), QPointF(11, 5));
    };
    glyphs["clock"] = [](QPainter &p) { clockFace(p, 14); };
    glyphs["network"] = [](QPainter &p) { // linked nodes
        const QPointF a(0, -10), b(-12, 10), c(12, 10);
        p.drawLine(a, b);
        p.drawLine(a, c);
        p.drawLine(b, c);
        p.setBrush(Tile);
        for (const QPointF node : {a, b, c}) {
            p.drawEllipse(node, 4.5, 4.5);
        }
    };
    glyphs["mediaplayer"] = [](QPainter &p) { // play in a circle
        p.drawEllipse(QPointF(0, 0), 14, 14);
        p.setBrush(Glyph);
        p.drawPolygon(QPolygonF{QPointF(-4, -7), QPointF(8, 0), QPointF(-4, 7)});
    };
    glyphs["bluetooth"] = [](QPainter &p) { // the rune
        p.drawPolyline(
            QPolygonF{QPointF(-8, -7), QPointF(8, 7), QPointF(0, 14), QPointF(0, -14), QPointF(8, -7), QPointF(-8, 7)});
    };
    glyphs["language"] = [](QPainter &p) { // a speech bubble with a letter
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(-16, -14, 32, 22), 5, 5);
        bubble.moveTo(-8, 8);
        bubble.lineTo(-10, 15);
        bubble.lineTo(-1, 8);
        p.drawPath(bubble);
        p.setFont(font(14));
        p.drawText(QRectF(-16, -14, 32, 22), Qt::AlignCenter, QStringLiteral("A"));
    };
    glyphs["timezone"] = [](QPainter &p) { globe(p, 14); };
    glyphs["softwareupdate"] = [](QPainter &p) { // a circular arrow round a down arrow
        p.drawArc(QRectF(-14, -14, 28, 28), 60 * 16, 300 * 16);
        p.drawPolyline(QPolygonF{QPointF(2, -18), QPointF(8, -12), QPointF(1, -8)});
        p.drawLine(QPointF(0, -6), QPointF(0, 6));
        p.drawPolyline(QPolygonF{QPointF(-5, 2), QPointF(0, 7), QPointF(5, 2)});
    };
    glyphs["about"] = [](QPainter &p) { // an i in a circle
        p.drawEllipse(QPointF(0, 0), 14, 14);
        p.drawLine(QPointF(0, -2), QPointF(0, 8));
        p.setBrush(Glyph);
        p.drawEllipse(QPointF(0, -7), 1.5, 1.5);
    };
    glyphs["power"] = [](QPainter &p) { powerSymbol(p, 12); };
    return glyphs;
}

// ---- Buttons (32 by 32) -------------------------------------------------------------------

QImage button(const Painter &glyph, QColor ring = Accent) {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ring, 1.5));
    p.setBrush(Tile);
    p.drawEllipse(QPointF(16, 16), 14.5, 14.5);
    p.translate(16, 16);
    p.setPen(pen(Light, 2.5));
    p.setBrush(Light);
    glyph(p);
    return image;
}

void speaker(QPainter &p, double x) {
    p.drawPolygon(QPolygonF{QPointF(x - 7, -3), QPointF(x - 3, -3), QPointF(x + 2, -8), QPointF(x + 2, 8),
                            QPointF(x - 3, 3), QPointF(x - 7, 3)});
}

std::map<QString, QImage> buttons() {
    std::map<QString, QImage> all;
    all["up"] = button([](QPainter &p) { p.drawPolygon(QPolygonF{QPointF(0, -6), QPointF(7, 4), QPointF(-7, 4)}); });
    all["down"] = button([](QPainter &p) { p.drawPolygon(QPolygonF{QPointF(0, 6), QPointF(7, -4), QPointF(-7, -4)}); });
    all["ok"] = button([](QPainter &p) {
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF{QPointF(-7, 0), QPointF(-2, 6), QPointF(7, -6)});
    });
    all["back"] = button([](QPainter &p) {
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(-6, -6, 14, 12), 90 * 16, -180 * 16);
        p.drawLine(QPointF(1, -6), QPointF(-7, -6));
        p.drawPolyline(QPolygonF{QPointF(-3, -10), QPointF(-7, -6), QPointF(-3, -2)});
    });
    all["stop"] = button([](QPainter &p) { p.drawRect(QRectF(-5, -5, 10, 10)); });
    all["pause"] = button([](QPainter &p) {
        p.drawRect(QRectF(-5, -6, 3, 12));
        p.drawRect(QRectF(2, -6, 3, 12));
    });
    all["record"] = button(
        [](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Danger);
            p.drawEllipse(QPointF(0, 0), 7, 7);
        },
        Danger);
    all["voldown"] = button([](QPainter &p) {
        speaker(p, -2);
        p.drawLine(QPointF(4, 0), QPointF(10, 0));
    });
    all["volup"] = button([](QPainter &p) {
        speaker(p, -2);
        p.drawLine(QPointF(4, 0), QPointF(10, 0));
        p.drawLine(QPointF(7, -3), QPointF(7, 3));
    });
    return all;
}

// ---- Status icons (16 by 16) --------------------------------------------------------------

QImage statusIcon(const Painter &glyph) {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    p.setPen(pen(Light, 1.6));
    p.setBrush(Qt::NoBrush);
    glyph(p);
    return image;
}

// ---- Waiting animation and the missing cover ----------------------------------------------

// Eight dots in a ring; the frame's dot is bright and the two before it fade out.
QImage loadingFrame(int frame) {
    QImage image = canvas(56, 56);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(PanelEdge, 1));
    p.setBrush(QColor(20, 26, 38, 235));
    p.drawRoundedRect(QRectF(0.5, 0.5, 55, 55), 10, 10);
    p.translate(28, 28);
    for (int dot = 0; dot < 8; ++dot) {
        const int behind = (frame - dot + 8) % 8;
        QColor colour = Accent;
        colour.setAlpha(behind == 0 ? 255 : behind == 1 ? 170 : behind == 2 ? 100 : 45);
        const double angle = -M_PI / 2 + dot * M_PI / 4;
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QPointF(16 * std::cos(angle), 16 * std::sin(angle)), 4, 4);
    }
    return image;
}

QImage noCover() {
    QImage image = canvas(80, 80, Panel);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(PanelEdge, 1));
    p.setBrush(Tile);
    p.drawRoundedRect(QRectF(0.5, 0.5, 79, 79), 6, 6);
    // A note.
    p.setPen(pen(Glyph, 3));
    p.drawLine(QPointF(44, 14), QPointF(44, 42));
    p.drawLine(QPointF(44, 14), QPointF(56, 20));
    p.setBrush(Glyph);
    p.drawEllipse(QPointF(38, 44), 7, 5);
    p.setPen(QColor(150, 160, 180));
    p.setFont(font(10));
    p.drawText(QRectF(0, 56, 80, 18), Qt::AlignCenter, QStringLiteral("no cover"));
    return image;
}

} // namespace

int main(int argc, char *argv[]) {
    if (const auto answered = AnswerGeneratorArguments(argc, argv, 1, "skingen <data folder>",
                                                       "Draws the default skin's pictures into <data folder>/320x240, "
                                                       "each also at twice the size (name@2x.png); run "
                                                       "with QT_QPA_PLATFORM=offscreen.")) {
        return *answered;
    }
    QGuiApplication app(argc, argv);
    const QDir data(QString::fromLocal8Bit(argv[1]));
    const QString skin = data.filePath(QStringLiteral("320x240"));

    for (const int scale : {1, 2}) {
        Scale = scale;
        const std::map<QString, QImage> backgrounds{
            {"main", mainBackground()},       {"list", listBackground()},   {"playing", playingBackground()},
            {"search", searchBackground()},   {"error", errorBackground()}, {"message", messageBackground()},
            {"standby", standbyBackground()},
        };
        for (const auto &[name, image] : backgrounds) {
            save(image, skin + "/" + name + ".png");
        }
        for (const auto &[name, glyph] : menuGlyphs()) {
            save(menuIcon(glyph), skin + "/menu/" + name + ".png");
        }
        for (const auto &[name, image] : buttons()) {
            save(image, skin + "/buttons/" + name + ".png");
        }
        save(statusIcon([](QPainter &p) { // home
                 p.drawPolyline(QPolygonF{QPointF(-7, 0), QPointF(0, -6), QPointF(7, 0)});
                 p.drawPolyline(QPolygonF{QPointF(-5, -1), QPointF(-5, 6), QPointF(5, 6), QPointF(5, -1)});
             }),
             skin + "/status/home.png");
        save(statusIcon([](QPainter &p) { // volume
                 p.setBrush(Light);
                 speaker(p, -1);
                 p.setBrush(Qt::NoBrush);
                 p.drawArc(QRectF(-2, -5, 8, 10), -60 * 16, 120 * 16);
             }),
             skin + "/status/volume.png");
        save(statusIcon([](QPainter &p) { powerSymbol(p, 5.5); }), skin + "/status/power.png");
        for (int frame = 0; frame <= 9; ++frame) {
            save(loadingFrame(frame), skin + "/other/loading_0" + QString::number(frame) + ".png");
        }
        save(noCover(), data.filePath(QStringLiteral("coverart.png")));
    }
    return 0;
}
