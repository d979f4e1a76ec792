#pragma once

#include "app/CDorvexDoc.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "protocol/DevicePacket.h"
#include "tests/support/LoopbackDevice.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::test {

// A reply of a device: the given name (bytes as sent), IP address and model code; the other
// fields are fixed unless given.
DEVICE_PACKET Device(std::string_view name, const Ipv4Bytes& ip, std::uint8_t modelCode = kModelCodeMarven,
                     const MacBytes& mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01},
                     const Ipv4Bytes& gateway = {192, 168, 1, 1});

// The per-user profile of the tests (a store in a temporary directory set up by the test's
// main): puts a value under Settings/Overview, or removes it.
void WriteOverview(const QVariant& value);
void ClearOverview();

// The main frame with its view, on loopback ports. The frame's creation makes the view, starts
// the first search and runs the view's first update.
class DeviceViewFixture : public ::testing::Test {
protected:
    void TearDown() override;

    void CreateFrame(bool show = true);
    CDorvexView& View() const { return *m_view; }
    CMainFrame& Frame() const { return *m_frame; }

    // Adds rows as the endpoint does for accepted replies.
    void Add(const DEVICE_PACKET& reply) { m_view->OnReply(reply); }
    // Texts of one logical column, top to bottom, as bytes.
    std::vector<std::string> ColumnTexts(int column) const;
    // Texts the list shows in one control column (the model the widgets read).
    std::vector<QString> ShownTexts(int controlColumn) const;
    QString OnlinePaneText() const;
    // A click on the header item of a control column, as the header reports it.
    void ClickHeader(int controlColumn);
    // The sort marker of a control column's header item: HDF_SORTUP, HDF_SORTDOWN or 0.
    int SortMark(int controlColumn) const;
    // Control columns that carry a sort marker.
    std::vector<int> MarkedColumns() const;
    void Select(int row);

    LoopbackDevice m_device;
    CDorvexDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
    CDorvexView* m_view = nullptr;
};

}  // namespace vantor::test
