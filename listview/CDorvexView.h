#pragma once

#include "platform/CommandTarget.h"
#include "protocol/CListSocket.h"

#include <QBasicTimer>
#include <QIcon>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

class QTreeWidget;

namespace vantor {

class ParentFrame;

// The device list: one row per device that answered the current search. The view owns the UDP
// endpoint and runs the search cycle with two timers: timer 1 is the search window (another
// window follows while new devices keep answering), timer 2 the one-shot re-search after a
// device command. It is also the first command target of the frame's routing.
//
// The list itself is reached only through the few row helpers at the bottom of the class, so
// the search cycle does not depend on how rows are shown.
class CDorvexView final : public QWidget, public CommandTarget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDorvexView)

public:
    static constexpr int kSearchWindowTimer = 1;
    static constexpr int kResearchTimer = 2;
    static constexpr int kSearchWindowMs = 5000;

    // The endpoint addresses are the device protocol's unless a test injects loopback ones.
    explicit CDorvexView(ParentFrame& frame, EndpointAddresses addresses = {}, QWidget* parent = nullptr);
    ~CDorvexView() override;

    // The window is being created: make the endpoint and start the first search. Returns 0.
    int OnCreate();
    // Starts a search: empty list, endpoint reopened, discovery request sent, search window set.
    void OnRefresh();
    // Expiry of a view timer (1: search window, 2: re-search; other ids are ignored).
    void OnTimer(int timerId);
    // The window is going away: empty list, endpoint destroyed, timers stopped.
    void OnDestroy();

    // Window timers by id; setting a running timer restarts it, killing a stopped one does nothing.
    void SetTimer(int timerId, int milliseconds);
    void KillTimer(int timerId);
    bool IsTimerRunning(int timerId) const;

    bool OnCommand(int commandId) override;
    bool OnUpdateCommandUI(int commandId, CommandUI& ui) override;

    // The endpoint, or null before OnCreate and after OnDestroy.
    const CListSocket* Endpoint() const { return m_socket.get(); }

    // Rows as shown (for the commands that read them back, and for tests).
    int GetItemCount() const;
    int GetSelectedCount() const;
    QString GetItemText(int row, int column) const;
    // The row record hung on a row (six NUL-terminated fields), empty for a bad row.
    std::string GetItemRecord(int row) const;
    QTreeWidget* ListWidget() const { return m_list; }

    // Keep-sorted flag, toggled by Auto Arrange.
    int m_bAutoArrange = 1;

protected:
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A reply the endpoint accepted: one new row and the new count in the status bar.
    void OnReply(const DEVICE_PACKET& reply);
    void ShowOnlineCount(int count);

    // Row helpers: the only code that touches the list widget.
    void DeleteAllItems();
    void AppendDeviceRow(const DEVICE_PACKET& reply);

    ParentFrame& m_frame;
    EndpointAddresses m_addresses;
    QTreeWidget* m_list = nullptr;  // child widget
    std::array<QIcon, 7> m_images;  // row pictures by image index
    std::unique_ptr<CListSocket> m_socket;
    QBasicTimer m_searchWindow;
    QBasicTimer m_research;
};

}  // namespace vantor
