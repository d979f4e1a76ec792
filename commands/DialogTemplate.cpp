#include "commands/DialogTemplate.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>

namespace vantor {

DialogUnits SetUpCommandDialog(QDialog& dialog, QSize sizeInUnits)
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    dialog.setFont(font);
    dialog.setWindowTitle(QStringLiteral("Dialog Frame"));
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const DialogUnits units(font);
    dialog.setFixedSize(units.ToPixels(sizeInUnits));
    return units;
}

QGroupBox* AddGroupBox(QDialog& dialog, const DialogUnits& units, const QString& title, const QRect& unitsRect)
{
    auto* group = new QGroupBox(title, &dialog);
    group->setGeometry(units.ToPixels(unitsRect));
    return group;
}

QRect RectInGroup(const DialogUnits& units, const QGroupBox& group, const QRect& unitsRect)
{
    return units.ToPixels(unitsRect).translated(-group.pos());
}

ConfirmCancelButtons AddConfirmCancel(QDialog& dialog, const DialogUnits& units, int top)
{
    auto* ok = new QPushButton(QStringLiteral("Confirm"), &dialog);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setGeometry(units.ToPixels(QRect(18, top, 36, 18)));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    cancel->setGeometry(units.ToPixels(QRect(72, top, 36, 18)));
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return {ok, cancel};
}

}  // namespace vantor
