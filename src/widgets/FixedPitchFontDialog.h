#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QDoubleSpinBox;
class QFont;
class QLabel;
class QListWidget;

// A font as the editor page describes it to the font dialog and reads it back.
struct FontChoice {
    QString face;
    double pointSize = 0;
    int weight = 400;
    bool italic = false;
};

// The one font chooser of the editor, for the options page and for the font of a selection: only
// fonts whose characters all take the same width (a Japanese face that pairs half-width and
// full-width cells counts) and that cover Japanese, with their styles and a size. The face in use
// is listed even when it lacks Japanese, so that OK without a choice keeps it. No writing system
// choice and no effects: colour, underline and strike-out are not the editor's.
class FixedPitchFontDialog : public QDialog {
    Q_OBJECT
public:
    explicit FixedPitchFontDialog(const FontChoice& initial, QWidget* parent = nullptr);

    FontChoice choice() const;

    // The faces offered; `inUse` is listed as well when it is an installed fixed-pitch face.
    static QStringList fixedPitchFamilies(const QString& inUse = QString());

    static FontChoice choiceOf(const QFont& font);
    static QFont fontOf(const FontChoice& choice);

private:
    struct Style {
        QString name;
        int weight;
        bool italic;
    };

    void fillStyles(const FontChoice& wanted);
    void updateSample();
    const Style* currentStyle() const;

    QListWidget* m_families = nullptr;
    QListWidget* m_styles = nullptr;
    QDoubleSpinBox* m_size = nullptr;
    QLabel* m_sample = nullptr;
    QList<Style> m_styleList;
};
