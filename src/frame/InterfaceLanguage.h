#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

class QApplication;

// Qt's own texts in Japanese: the buttons, labels and messages of Qt's standard dialogs (files,
// printing, page set-up, fonts) speak the language of the rest of the program. Installed for the
// object's life; without the translation file Qt's English texts stay, and nothing is said.
class QtTranslation {
public:
    // Qt's translation of its base module, from `directory` (by default where Qt's translations
    // are installed).
    explicit QtTranslation(const QString& directory = QString());
    ~QtTranslation();
    QtTranslation(const QtTranslation&) = delete;
    QtTranslation& operator=(const QtTranslation&) = delete;

    bool installed() const { return m_installed; }

private:
    QTranslator m_translator;
    bool m_installed = false;
};

// The interface's one proportional face: the desktop's when it covers Japanese, else the first
// installed of the Japanese faces below, else the desktop's all the same. A label drawn in one
// face that holds both scripts never mixes two faces.
QString interfaceFace(const QString& desktopFace, bool desktopCoversJapanese,
                      const QStringList& installedJapaneseFaces);
// Puts that face on the application, at the desktop's size.
void applyInterfaceFont(QApplication& application);
