#include "tests/deviceview/DeviceViewFixture.h"

#include "platform/IndicatorStatusBar.h"
#include "platform/ProfileStore.h"
#include "platform/listcontrol/ListControl.h"
#include "resources/StringTable.h"
#include "tests/support/RowNotices.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QSettings>

namespace vantor::test {

DEVICE_PACKET Device(std::string_view name, const Ipv4Bytes& ip, std::uint8_t modelCode, const MacBytes& mac,
                     const Ipv4Bytes& gateway)
{
    DEVICE_PACKET reply;
    reply.SetIpAddress(ip);
    reply.SetSubnetMask({255, 255, 255, 0});
    reply.SetGateway(gateway);
    reply.SetMacAddress(mac);
    reply.SetNameField(name);
    reply.SetVersion(1, 0x30);
    reply.SetModelCode(modelCode);
    return reply;
}

void WriteOverview(const QVariant& value)
{
    QSettings profile(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kProfileOrganization),
                      QString::fromLatin1(kProfileApplication));
    profile.setValue(QStringLiteral("Settings/Overview"), value);
    profile.sync();
}

void ClearOverview()
{
    QSettings profile(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kProfileOrganization),
                      QString::fromLatin1(kProfileApplication));
    profile.remove(QStringLiteral("Settings/Overview"));
    profile.sync();
}

void DeviceViewFixture::TearDown()
{
    m_frame.reset();
    ClearOverview();
}

void DeviceViewFixture::CreateFrame(bool show)
{
    m_frame = std::make_unique<CMainFrame>(m_document, nullptr, LoopbackAddresses(m_device.Port()));
    ASSERT_EQ(m_frame->OnCreate(), 0);
    m_view = m_frame->View();
    ASSERT_NE(m_view, nullptr);
    if (show)
        m_frame->show();
}

std::vector<std::string> DeviceViewFixture::ColumnTexts(int column) const
{
    std::vector<std::string> texts;
    for (int row = 0; row < m_view->GetItemCount(); ++row)
        texts.push_back(m_view->GetItemTextBytes(row, column));
    return texts;
}

std::vector<QString> DeviceViewFixture::ShownTexts(int controlColumn) const
{
    const QAbstractItemModel* model = m_view->Control().Model();
    EXPECT_TRUE(WaitForRowNotice(model));
    std::vector<QString> texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts.push_back(model->data(model->index(row, controlColumn), Qt::DisplayRole).toString());
    return texts;
}

QString DeviceViewFixture::OnlinePaneText() const
{
    const IndicatorStatusBar* bar = m_frame->StatusBar();
    return bar->GetPaneText(bar->CommandToIndex(ids::ID_INDICATOR_ONLINE));
}

void DeviceViewFixture::ClickHeader(int controlColumn)
{
    emit m_view->Control().Header()->sectionClicked(controlColumn);
}

int DeviceViewFixture::SortMark(int controlColumn) const
{
    lc::HDITEMA header;
    header.mask = lc::HDI_FORMAT;
    if (!m_view->Control().GetHeaderItem(controlColumn, header))
        return -1;
    return header.fmt & (lc::HDF_SORTUP | lc::HDF_SORTDOWN);
}

std::vector<int> DeviceViewFixture::MarkedColumns() const
{
    std::vector<int> marked;
    for (int column = 0; column < m_view->Control().GetColumnCount(); ++column)
        if (SortMark(column) != 0)
            marked.push_back(column);
    return marked;
}

void DeviceViewFixture::Select(int row)
{
    m_view->SetItemState(row, lc::LVIS_SELECTED, lc::LVIS_SELECTED);
}

}  // namespace vantor::test
