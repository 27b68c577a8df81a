#include "settings/WidgetPlacement.h"

#include "settings/INIFILES.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

// A real window closed and opened again comes back where it was.
class WidgetPlacementTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void realWindowRoundTrip() {
        QTemporaryDir dir;
        INIFILES ini;
        ini.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
        {
            QWidget w;
            w.setGeometry(130, 140, 321, 222);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            WidgetPlacement placed(w, QStringLiteral("DisplayForm"));
            ini.SaveWindowPlacement(placed, true);
            QVERIFY(w.isHidden());
        }
        const QString fc = ini.ReadSetting(QStringLiteral("DisplayForm"), QStringLiteral("FC"), QString());
        QVERIFY2(fc.endsWith(QStringLiteral("321,222,")), qPrintable(fc));
        QWidget again;
        WidgetPlacement placed(again, QStringLiteral("DisplayForm"));
        ini.RestoreWindowPlacement(placed);
        QCOMPARE(again.size(), QSize(321, 222));
        QCOMPARE(again.pos(), QPoint(TextBefore(QStringLiteral(","), TextAfter(QStringLiteral(","), fc)).toInt(),
                                     TextBefore(QStringLiteral(","), fc).toInt()));
    }
};

QTEST_MAIN(WidgetPlacementTest)
#include "WidgetPlacementTest.moc"
