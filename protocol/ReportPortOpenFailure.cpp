#include "protocol/ReportPortOpenFailure.h"

#include "protocol/CListSocket.h"
#include "resources/StringTable.h"

#include <QMessageBox>

namespace vantor {

void ReportPortOpenFailure(QWidget* parent)
{
    const std::string text =
        PortOpenFailureText(LoadStringUtf8(ids::IDS_PORT_OPEN_FAIL).value_or(std::string_view()), kLocalPort);
    QMessageBox box(QMessageBox::Warning, LoadString(ids::IDS_APP_NAME), QString::fromStdString(text), QMessageBox::Ok,
                    parent);
    box.exec();
}

}  // namespace vantor
