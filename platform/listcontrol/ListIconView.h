#pragma once

#include "platform/listcontrol/ListControlModel.h"

#include <QListView>

namespace vantor::lc {

// The icon types of the list (large icons, small icons, list): a list view over the first
// column that tells the control about focus changes. Like the details view, it paints and lays
// out the rows it was told of (the model maps each row to its item).
class ListIconView final : public QListView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListIconView)

public:
    ListIconView(const ListControlModel& rows, QWidget* parent)
        : QListView(parent)
        , m_rows(rows)
    { }

    void doItemsLayout() override
    {
        const ListControlModel::ViewsAtWork working(m_rows);
        QListView::doItemsLayout();
    }

signals:
    void focusChanged(bool focused);

protected:
    void paintEvent(QPaintEvent* event) override
    {
        const ListControlModel::ViewsAtWork working(m_rows);
        QListView::paintEvent(event);
    }
    void timerEvent(QTimerEvent* event) override
    {
        const ListControlModel::ViewsAtWork working(m_rows);
        QListView::timerEvent(event);
    }
    void updateGeometries() override
    {
        const ListControlModel::ViewsAtWork working(m_rows);
        QListView::updateGeometries();
    }
    void focusInEvent(QFocusEvent* event) override
    {
        QListView::focusInEvent(event);
        emit focusChanged(true);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QListView::focusOutEvent(event);
        emit focusChanged(false);
    }

private:
    const ListControlModel& m_rows;
};

}  // namespace vantor::lc
