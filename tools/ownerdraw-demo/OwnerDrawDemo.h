#pragma once

#include "listview/CListViewEx.h"
#include "platform/listcontrol/ImageList.h"

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QString>

namespace vantor::demo {

// A fixed colour scheme, so that screenshots can be read pixel by pixel.
inline const QColor kBackground(255, 255, 255);
inline const QColor kHighlight(0, 0, 200);
inline const QColor kHighlightText(255, 255, 255);
inline const QColor kButtonFace(200, 180, 160);
inline const QColor kText(0, 0, 0);
inline const QColor kHot(200, 0, 120);
inline const QColor kIconRed(230, 40, 40);
inline const QColor kIconBlue(40, 90, 230);
inline const QColor kBoxEmpty(250, 250, 210);
inline const QColor kBoxChecked(30, 170, 60);

struct DEMO_SETUP {
    bool fullRow = true;
    int firstColumnAlign = lc::LVCFMT_LEFT;
    bool pinIcons = false;
    bool moveFirstColumn = false;  // column 0 dragged to the third position
    int sortKey = 2;               // shaded sorted column; 0 for none
};

// An owner-drawn report list of a few devices: four columns ("Device" with an icon and a check
// box, "Address", "Model", "Firmware" right-aligned), hot tracking with underlined hot items,
// check boxes, header drag-and-drop, the selection shown also without the focus.
class OwnerDrawDemoList : public CListViewEx {
public:
    explicit OwnerDrawDemoList(const DEMO_SETUP& setup, QWidget* parent = nullptr);
    ~OwnerDrawDemoList() override;
    Q_DISABLE_COPY_MOVE(OwnerDrawDemoList)

    static constexpr int kRows = 6;
    // Logical column 0's text of a row, as inserted.
    static const char* DeviceName(int row);

    QWidget* Viewport() const;
    QWidget* Details() const;
    // Shows the list in an active window and gives it the keyboard focus.
    void ShowFocused();
    // The list area as painted now (origin just below the header).
    QImage ListArea();

private:
    lc::ImageList m_smallImages{QSize(16, 16)};
    lc::ImageList m_stateImages{QSize(16, 16)};
};

// Input as the window system would deliver it, sent straight to a widget.
void SendMouse(QWidget& target, QEvent::Type type, const QPoint& pos, Qt::MouseButton button = Qt::NoButton);
void SendKey(QWidget& target, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A point in the middle of a rectangle (list-area coordinates).
QPoint Middle(const QRect& rect);

// Renders the demo's screens into `dir` as PNG files; false when one could not be written.
bool WriteDemoShots(const QString& dir);

}  // namespace vantor::demo
