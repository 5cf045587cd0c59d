#include "frame/InterfaceLanguage.h"

#include "TempDir.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QString cancelText() {
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
}

} // namespace

TEST(InterfaceLanguage, QtsOwnButtonsSpeakJapaneseWhileTheTranslationIsInstalled) {
    const QString english = cancelText();
    {
        const QtTranslation japanese;
        ASSERT_TRUE(japanese.installed()) << "qt6-translations-l10n brings qtbase_ja.qm";
        EXPECT_EQ(cancelText(), QStringLiteral("キャンセル"));
    }
    EXPECT_EQ(cancelText(), english);

    TempDir empty;
    const QtTranslation missing(empty.path());
    EXPECT_FALSE(missing.installed());
    EXPECT_EQ(cancelText(), english) << "a missing file leaves Qt's own texts";
}

TEST(InterfaceLanguage, OneFaceThatCoversJapaneseForTheWholeInterface) {
    const QStringList both{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")};
    struct Case {
        bool desktopCovers;
        QStringList installed;
        QString face;
    } cases[] = {
        {true, both, QStringLiteral("Desk")},
        {false, both, QStringLiteral("IPAPGothic")},
        {false, {QStringLiteral("Noto Sans CJK JP")}, QStringLiteral("Noto Sans CJK JP")},
        {false, {}, QStringLiteral("Desk")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(interfaceFace(QStringLiteral("Desk"), c.desktopCovers, c.installed), c.face)
            << c.installed.join(u',').toStdString();

    const QFont before = QApplication::font();
    applyInterfaceFont(*qApp);
    const QString face = QFontInfo(QApplication::font()).family();
    EXPECT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).contains(face))
        << face.toStdString();
    EXPECT_EQ(QApplication::font().pointSizeF(), before.pointSizeF());
    QApplication::setFont(before);
}
