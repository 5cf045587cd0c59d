#pragma once

#include "transfer/ServerDialogContext.h"

#include <QString>

class QWidget;
struct ServerProfile;

// The save-to-server confirmation as the document asks for it: runs CSaveSv on the document's
// profile copy and file name, and on OK replaces both with the user's choices.
[[nodiscard]] bool RunSaveToServerDialog(ServerDialogContext context, QWidget* parent,
                                         ServerProfile& profile, QString& fileName);
