#include "platform/ControlPictures.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

TEST(ControlPictures, EveryCodeATerminalObeysShowsAndTheRestStays) {
    for (char16_t u = 0; u < 0x100; ++u) {
        const QChar shown = ControlPicture(QChar(u));
        const bool control = (u < 0x20 && u != u'\n' && u != u'\t') || (u >= 0x7f && u < 0xa0);
        EXPECT_EQ(shown != QChar(u), control) << int(u);
        // A stand-in is never itself a control, so showing twice changes nothing more.
        EXPECT_EQ(ControlPicture(shown), shown) << int(u);
    }
    EXPECT_EQ(ShowControls(u"\x1b[2J\tA\x07\n\x9b\x7f\r"), QString::fromUtf8("␛[2J\tA␇\n␦␡␍"));
    EXPECT_EQ(ShowControls(u""), QString());
}

TEST(ControlPictures, JsonKeepsItsValuesButLosesDelAndC1) {
    const QString value = QString::fromLatin1("a\x1b\x7f\x9b\x80\x9f\xa0\xc2z") + QChar(0x20ac);
    const QByteArray json = QJsonDocument(QJsonObject{{"v", value}}).toJson(QJsonDocument::Compact);
    const QByteArray escaped = EscapeControlsInJson(json);
    EXPECT_FALSE(escaped.contains('\x7f'));
    EXPECT_FALSE(escaped.contains("\xc2\x9b") || escaped.contains("\xc2\x80") || escaped.contains("\xc2\x9f"));
    EXPECT_TRUE(escaped.contains("\\u007f") && escaped.contains("\\u009b"));
    EXPECT_EQ(QJsonDocument::fromJson(escaped).object().value("v").toString(), value);
}
