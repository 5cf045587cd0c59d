#pragma once

#include <QHash>
#include <QString>
#include <QStyle>

#include <initializer_list>
#include <utility>

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QToolButton;
class QWidget;

// The "OK" / "ｷｬﾝｾﾙ" row of the small server dialogs. OK runs the dialog's own check (its
// accept()), Cancel rejects.
QDialogButtonBox* addOkCancelButtons(QDialog* dialog, QPushButton** ok = nullptr);

// Controls carry the numbers of their window's template, which name their tool-tip texts.
void setControlId(QWidget* widget, const char* name, int id);
// A tool button with a picture of the style and its text as tool tip.
QToolButton* makeToolButton(QWidget* parent, const char* name, int id, QStyle::StandardPixmap icon,
                            const QString& text);
// Adds the tool-tip texts of a window's controls to the table, keeping any already there.
void addToolTipTexts(QHash<int, QString>& table,
                     std::initializer_list<std::pair<int, const char16_t*>> texts);
