#include "widgets/FixedPitchFontDialog.h"

#include "settings/AppSettings.h"
#include "widgets/EditorAppearance.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Fontconfig calls a Japanese face with half-width and full-width cells "dual" rather than
// fixed pitch; measuring narrow and wide letters tells both kinds from proportional faces.
bool isFixedPitch(const QString& family) {
    if (QFontDatabase::isFixedPitch(family))
        return true;
    QFont font(family);
    font.setPixelSize(16);
    if (QFontInfo(font).family() != family)
        return false;
    QFontMetrics metrics(font);
    int narrow = metrics.horizontalAdvance(QLatin1Char('i'));
    return narrow > 0 && narrow == metrics.horizontalAdvance(QLatin1Char('W')) &&
           narrow == metrics.horizontalAdvance(QLatin1Char('.')) &&
           narrow == metrics.horizontalAdvance(QLatin1Char('m'));
}

QString styleLabel(const QString& name, int weight, bool italic) {
    if (weight == 400 || weight == 700) {
        if (weight == 400)
            return italic ? QStringLiteral("斜体") : QStringLiteral("標準");
        return italic ? QStringLiteral("太字 斜体") : QStringLiteral("太字");
    }
    return name;
}

} // namespace

QStringList FixedPitchFontDialog::fixedPitchFamilies(const QString& inUse) {
    QStringList families;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
        if (family.startsWith(u'@') || QFontDatabase::isPrivateFamily(family))
            continue;
        if (isFixedPitch(family))
            families.append(family);
    }
    if (!inUse.isEmpty() && !families.contains(inUse, Qt::CaseInsensitive) &&
        QFontDatabase::hasFamily(inUse) && isFixedPitch(inUse))
        families.prepend(inUse);
    return families;
}

FontChoice FixedPitchFontDialog::choiceOf(const QFont& font) {
    return FontChoice{font.family(), font.pointSizeF(), font.weight(), font.italic()};
}

QFont FixedPitchFontDialog::fontOf(const FontChoice& choice) {
    QFont font(choice.face);
    if (choice.pointSize > 0)
        font.setPointSizeF(choice.pointSize);
    font.setWeight(QFont::Weight(choice.weight));
    font.setItalic(choice.italic);
    return font;
}

FixedPitchFontDialog::FixedPitchFontDialog(const FontChoice& initial, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("フォント"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("フォント名"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("スタイル"), this), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("サイズ"), this), 0, 2);

    m_families = new QListWidget(this);
    m_families->setObjectName(QStringLiteral("Families"));
    m_families->addItems(fixedPitchFamilies(initial.face));
    m_styles = new QListWidget(this);
    m_styles->setObjectName(QStringLiteral("Styles"));
    m_size = new QDoubleSpinBox(this);
    m_size->setObjectName(QStringLiteral("Size"));
    m_size->setDecimals(1);
    m_size->setRange(1, AppSettings::MaxFontPoints);
    m_size->setSingleStep(0.5);
    m_size->setValue(initial.pointSize > 0 ? initial.pointSize : 10);
    layout->addWidget(m_families, 1, 0);
    layout->addWidget(m_styles, 1, 1);
    layout->addWidget(m_size, 1, 2, Qt::AlignTop);

    auto* sampleBox = new QGroupBox(QStringLiteral("サンプル"), this);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    m_sample = new QLabel(QStringLiteral("AaBbYyZz 01 あアｱ亜"), sampleBox);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumHeight(60);
    sampleLayout->addWidget(m_sample);
    layout->addWidget(sampleBox, 2, 0, 1, 3);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 3, 0, 1, 3);

    // A face that is not installed starts on the one the editor draws with instead.
    QList<QListWidgetItem*> found = m_families->findItems(initial.face, Qt::MatchFixedString);
    if (found.isEmpty())
        found = m_families->findItems(installedFaceFor(initial.face), Qt::MatchFixedString);
    if (!found.isEmpty())
        m_families->setCurrentItem(found.front());
    else if (m_families->count() > 0)
        m_families->setCurrentRow(0);
    fillStyles(initial);

    connect(m_families, &QListWidget::currentRowChanged, this, [this] {
        const Style* style = currentStyle();
        FontChoice wanted;
        wanted.weight = style ? style->weight : 400;
        wanted.italic = style && style->italic;
        fillStyles(wanted);
    });
    connect(m_styles, &QListWidget::currentRowChanged, this, [this] { updateSample(); });
    connect(m_size, &QDoubleSpinBox::valueChanged, this, [this] { updateSample(); });
}

void FixedPitchFontDialog::fillStyles(const FontChoice& wanted) {
    QSignalBlocker blocker(m_styles);
    m_styles->clear();
    m_styleList.clear();
    QListWidgetItem* family = m_families->currentItem();
    if (family) {
        const QString name = family->text();
        for (const QString& style : QFontDatabase::styles(name))
            m_styleList.append(
                {style, QFontDatabase::weight(name, style), QFontDatabase::italic(name, style)});
    }
    // Faces without their own bold or italic are drawn emboldened or slanted.
    for (auto [weight, italic] : {std::pair{400, false}, {400, true}, {700, false}, {700, true}}) {
        bool present = std::any_of(m_styleList.begin(), m_styleList.end(), [&](const Style& s) {
            return s.weight == weight && s.italic == italic;
        });
        if (!present)
            m_styleList.append({QString(), weight, italic});
    }
    std::stable_sort(m_styleList.begin(), m_styleList.end(), [](const Style& a, const Style& b) {
        return a.italic != b.italic ? !a.italic : a.weight < b.weight;
    });
    int selected = 0;
    for (int i = 0; i < m_styleList.size(); ++i) {
        const Style& s = m_styleList[i];
        m_styles->addItem(styleLabel(s.name, s.weight, s.italic));
        if (s.weight == wanted.weight && s.italic == wanted.italic)
            selected = i;
    }
    m_styles->setCurrentRow(selected);
    updateSample();
}

const FixedPitchFontDialog::Style* FixedPitchFontDialog::currentStyle() const {
    int row = m_styles->currentRow();
    return row >= 0 && row < m_styleList.size() ? &m_styleList[row] : nullptr;
}

FontChoice FixedPitchFontDialog::choice() const {
    FontChoice chosen;
    if (QListWidgetItem* family = m_families->currentItem())
        chosen.face = family->text();
    chosen.pointSize = m_size->value();
    if (const Style* style = currentStyle()) {
        chosen.weight = style->weight;
        chosen.italic = style->italic;
    }
    return chosen;
}

void FixedPitchFontDialog::updateSample() {
    m_sample->setFont(fontOf(choice()));
}
