#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QDoubleSpinBox;
class QLabel;
class QListWidget;

// A font as the editor page describes it to the font dialog and reads it back.
struct FontChoice {
    QString face;
    double pointSize = 0;
    int weight = 400;
    bool italic = false;
};

// The editor font dialog: only fonts whose characters all take the same width (a Japanese face
// that pairs half-width and full-width cells counts), with their styles and a size. No writing
// system choice and no effects: colour, underline and strike-out are not the editor's.
class FixedPitchFontDialog : public QDialog {
    Q_OBJECT
public:
    explicit FixedPitchFontDialog(const FontChoice& initial, QWidget* parent = nullptr);

    FontChoice choice() const;

    static QStringList fixedPitchFamilies();

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
