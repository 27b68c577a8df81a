#include "settings/SideBySide.h"

#include <QTest>

// First-start window layout: the main window, the remote and the information panel.
class SideBySideTest : public QObject {
    Q_OBJECT

    static bool overlap(const QList<QPoint> &corners, const QList<QSize> &frames, qsizetype a, qsizetype b) {
        return QRect(corners[a], frames[a]).intersects(QRect(corners[b], frames[b]));
    }

private Q_SLOTS:
    void windowsThatFitStandCentredInARow() {
        const QRect area(0, 0, 2560, 1400);
        const QList<QSize> frames{{1140, 724}, {280, 741}, {760, 720}};
        const QList<QPoint> at = ArrangeSideBySide(area, frames, 8);
        QCOMPARE(at, (QList<QPoint>{{182, 329}, {1330, 329}, {1618, 329}}));
        QVERIFY(!overlap(at, frames, 0, 1) && !overlap(at, frames, 1, 2));
    }

    // 1600 pixels are too few for all three: the main window keeps the left edge, the remote
    // the right one, and the panel covers part of the main window but neither hides the other.
    void withTooLittleRoomTheOthersLineUpFromTheRightEdge() {
        const QRect area(0, 30, 1600, 970);
        const QList<QSize> frames{{1140, 724}, {280, 741}, {760, 720}};
        const QList<QPoint> at = ArrangeSideBySide(area, frames, 8);
        QCOMPARE(at, (QList<QPoint>{{0, 144}, {552, 144}, {840, 144}}));
        QVERIFY(!overlap(at, frames, 1, 2));
        for (qsizetype i = 0; i < at.size(); ++i) {
            QVERIFY(area.contains(QRect(at[i], frames[i])));
        }
    }

    // Wider than the screen together and each: every corner still lies on the screen.
    void nothingStartsOffTheScreen() {
        const QRect area(100, 0, 800, 600);
        const QList<QPoint> at = ArrangeSideBySide(area, {{700, 900}, {500, 500}, {900, 400}}, 8);
        for (const QPoint &corner : at) {
            QVERIFY2(corner.x() >= 100 && corner.x() < 900 && corner.y() == 0, qPrintable(QString::number(corner.x())));
        }
        QVERIFY(ArrangeSideBySide(area, {}, 8).isEmpty());
    }

    // The display window opened later: beside the main window it would hide the panel's lists;
    // the corner it hides least of goes instead, and a free preferred spot stays preferred.
    void aLaterWindowGoesWhereItHidesLeast() {
        const QRect area(0, 0, 1600, 1000);
        const QList<QRect> open{{0, 129, 1140, 724}, {552, 129, 280, 741}, {840, 129, 760, 720}};
        QCOMPARE(LeastCoveredSpot(area, {332, 252}, open, {1148, 129}), QPoint(1268, 748));
        QCOMPARE(LeastCoveredSpot(area, {332, 252}, {{0, 0, 600, 400}}, {608, 0}), QPoint(608, 0));
        QCOMPARE(LeastCoveredSpot(area, {2000, 300}, {}, {500, 900}), QPoint(0, 700)); // wider than the screen
    }
};

QTEST_APPLESS_MAIN(SideBySideTest)
#include "SideBySideTest.moc"
