// Renders the password prompt and the address dialog to PNG files for a look by eye:
// commands_dialog_shots <output directory>. Not a test.
#include "commands/CInputIPDlg.h"
#include "commands/CInputPasswordDlg.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

namespace {

bool Save(QWidget& dialog, const QDir& dir, const QString& name)
{
    dialog.show();
    QApplication::processEvents();
    const QPixmap shot = dialog.grab();
    const QString path = dir.filePath(name);
    // A three-times copy beside it, for the details.
    const bool ok = shot.save(path + QStringLiteral(".png")) &&
                    shot.scaled(shot.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                        .save(path + QStringLiteral("-x3.png"));
    std::printf("%s %s.png %dx%d px\n", ok ? "wrote" : "FAILED", qPrintable(path), shot.width(), shot.height());
    dialog.hide();
    return ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        return 1;

    vantor::CInputPasswordDlg password;
    password.PasswordEdit()->setText(QStringLiteral("secret"));
    vantor::CInputIPDlg address;
    address.SetCurrentTexts("192.168.1.10", "255.255.255.0", "192.168.1.1");
    const bool ok = Save(password, dir, QStringLiteral("password-dialog"));
    return ok && Save(address, dir, QStringLiteral("ip-dialog")) ? 0 : 1;
}
