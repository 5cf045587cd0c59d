#pragma once

#include <QList>
#include <QString>

class QWidget;

// A text an options page is about to store, with the label the page shows for it and the field
// that holds it.
struct PageText {
    QString label;
    QString text;
    QWidget* field = nullptr;
};

// Refuses the first text the settings file cannot hold unchanged (a character CP932 lacks, a
// line break, more than 255 bytes): says so, naming the field by its label, and returns the
// field. Returns nullptr
// when every text can be stored.
QWidget* refuseUnstorableText(const QList<PageText>& texts);
