#include "transfer/SaveToServerDialog.h"

#include "settings/ServerProfile.h"
#include "transfer/CSaveSv.h"

bool RunSaveToServerDialog(ServerDialogContext context, QWidget* parent, ServerProfile& profile,
                           QString& fileName) {
    CSaveSv dialog(context, profile, fileName, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    profile = dialog.profile();
    fileName = dialog.fileName();
    return true;
}
