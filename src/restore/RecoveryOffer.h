#pragma once

#include "recovery/RecoveryRecord.h"

#include <QList>
#include <QString>

#include <optional>

// A leftover recovery file as the recovery dialog lists it.
struct RecoveryOffer {
    QString file;
    std::optional<RecoveryRecord> record; // nothing when the file cannot be read
    QString document;                     // its path, "NO:n サーバ:/パス" or its title
    QString time;
    QString note; // why it cannot be restored, or how it will be
};

// What the user chose in the recovery dialog.
enum class RecoveryChoice {
    RestoreAll,
    RestoreSelected,
    Discard,
    Later, // the dialog was closed: the files stay for the next start
};

struct RecoveryAnswer {
    RecoveryChoice choice = RecoveryChoice::Later;
    QList<int> selected; // indexes into the offers, for RestoreSelected
};
