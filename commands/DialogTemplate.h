#pragma once

#include "platform/DialogUnits.h"

#include <QRect>
#include <QSize>

class QDialog;
class QGroupBox;
class QPushButton;
class QString;

namespace vantor {

// Shared frame of the command dialogs: caption "Dialog Frame", the application font at 8 points,
// no context-help button, a fixed size given in dialog units. Returns the units of that font.
DialogUnits SetUpCommandDialog(QDialog& dialog, QSize sizeInUnits);

// A group box placed on the dialog by its template rectangle.
QGroupBox* AddGroupBox(QDialog& dialog, const DialogUnits& units, const QString& title, const QRect& unitsRect);

// A template rectangle (dialog units, relative to the dialog) in pixels relative to the group box.
QRect RectInGroup(const DialogUnits& units, const QGroupBox& group, const QRect& unitsRect);

// "Confirm" (object name "IDOK", the default button, accepts) at (18, top) and "Cancel"
// ("IDCANCEL", rejects) at (72, top), both 36 x 18 units.
struct ConfirmCancelButtons {
    QPushButton* ok;
    QPushButton* cancel;
};
ConfirmCancelButtons AddConfirmCancel(QDialog& dialog, const DialogUnits& units, int top);

}  // namespace vantor
