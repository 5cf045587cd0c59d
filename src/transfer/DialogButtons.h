#pragma once

class QDialog;
class QDialogButtonBox;
class QPushButton;

// The "OK" / "ｷｬﾝｾﾙ" row of the small server dialogs. OK runs the dialog's own check (its
// accept()), Cancel rejects.
QDialogButtonBox* addOkCancelButtons(QDialog* dialog, QPushButton** ok = nullptr);
