#include "transfer/SaveToServerDialog.h"

#include "app/CVantorpadApp.h"
#include "transfer/CSaveSv.h"
#include "transfer/ServerDialogContext.h"

bool RunSaveToServerDialog(QWidget* parent, ServerProfile& profile, QString& fileName) {
    CVantorpadApp* app = CVantorpadApp::instance();
    if (!app)
        return false;
    ServerDialogContext context{app->settings, app->currentServer, app->ftpDebugLog,
                                app->serverListOrder, app->serverTrust()};
    CSaveSv dialog(context, profile, fileName, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    profile = dialog.profile();
    fileName = dialog.fileName();
    return true;
}
