#include "listview/NetworkMessages.h"

#include "protocol/CListSocket.h"
#include "protocol/PortOpenFailureText.h"
#include "resources/StringTable.h"

#include <QMessageBox>

namespace vantor {
namespace {

void ShowExclamation(const QString& text, QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, LoadString(ids::IDS_APP_NAME), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

void ReportPortOpenFailure(QWidget* parent)
{
    const std::string text =
        PortOpenFailureText(LoadStringUtf8(ids::IDS_PORT_OPEN_FAIL).value_or(std::string_view()), kLocalPort);
    ShowExclamation(QString::fromStdString(text), parent);
}

void ReportNoNetworkAdapter(QWidget* parent)
{
    ShowExclamation(QString::fromUtf8(kNoNetworkAdapterText), parent);
}

}  // namespace vantor
