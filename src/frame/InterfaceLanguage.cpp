#include "frame/InterfaceLanguage.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLibraryInfo>

QtTranslation::QtTranslation(const QString& directory) {
    const QString from =
        directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    m_installed = m_translator.load(QStringLiteral("qtbase_ja"), from) &&
                  QCoreApplication::installTranslator(&m_translator);
}

QtTranslation::~QtTranslation() {
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

QString interfaceFace(const QString& desktopFace, bool desktopCoversJapanese,
                      const QStringList& installedJapaneseFaces) {
    if (desktopCoversJapanese)
        return desktopFace;
    for (const QString& face : {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                                QStringLiteral("Noto Sans CJK JP")})
        if (installedJapaneseFaces.contains(face, Qt::CaseInsensitive))
            return face;
    return desktopFace;
}

void applyInterfaceFont(QApplication& application) {
    QFont font = QApplication::font();
    // The face fontconfig really gives for the desktop's font, not the name it was asked for.
    const QString desktop = QFontInfo(font).family();
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    const QString face = interfaceFace(desktop, japanese.contains(desktop), japanese);
    if (face == desktop)
        return;
    font.setFamilies({face});
    application.setFont(font);
}
