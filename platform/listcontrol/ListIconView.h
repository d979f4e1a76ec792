#pragma once

#include <QListView>

namespace vantor::lc {

// The icon types of the list (large icons, small icons, list): a list view over the first
// column that tells the control about focus changes.
class ListIconView final : public QListView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListIconView)

public:
    explicit ListIconView(QWidget* parent)
        : QListView(parent)
    { }

signals:
    void focusChanged(bool focused);

protected:
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
};

}  // namespace vantor::lc
