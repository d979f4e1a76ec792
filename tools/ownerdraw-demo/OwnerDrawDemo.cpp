#include "tools/ownerdraw-demo/OwnerDrawDemo.h"

#include "platform/listcontrol/ListControl.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTreeView>

#include <array>
#include <cstring>
#include <string>

namespace vantor::demo {

namespace {

using namespace vantor::lc;

struct DEMO_ROW {
    const char* fields[4];
    int image;
    bool checked;
};

const std::array<DEMO_ROW, OwnerDrawDemoList::kRows> kDemoRows = {{
    {{"Marven-200", "192.168.1.20", "MV-200", "1.04"}, 1, true},
    {{"Orvik-10", "192.168.1.100", "OV-10", "2.10"}, 2, false},
    {{"Lab switch", "10.0.0.10", "LS-8", "1.00"}, 1, false},
    {{"Bench printer", "172.16.0.5", "BP-3", "3.0A"}, 2, true},
    {{"Unknown", "10.0.0.9", "-", "0.00"}, 0, false},
    {{"Hall sensor with a long name", "10.0.0.77", "HS-1", "1.20"}, 1, true},
}};

QPixmap Square(const QColor& fill, const QColor& border)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(1, 1, 14, 14), border);
    painter.fillRect(QRect(2, 2, 12, 12), fill);
    return pixmap;
}

int CompareByAddress(LPARAM a, LPARAM b, LPARAM /*sortData*/)
{
    return std::strcmp(kDemoRows[static_cast<std::size_t>(a)].fields[1],
                       kDemoRows[static_cast<std::size_t>(b)].fields[1]);
}

}  // namespace

OwnerDrawDemoList::OwnerDrawDemoList(const DEMO_SETUP& setup, QWidget* parent)
    : CListViewEx(parent)
{
    QPalette scheme = palette();
    scheme.setColor(QPalette::Base, kBackground);
    scheme.setColor(QPalette::Highlight, kHighlight);
    scheme.setColor(QPalette::HighlightedText, kHighlightText);
    scheme.setColor(QPalette::Button, kButtonFace);
    scheme.setColor(QPalette::Text, kText);
    setPalette(scheme);
    m_hotColor = kHot;
    SetBkColor(kBackground);

    // The owner-draw style comes first: the extended style and the first column's alignment
    // take their owner-drawn paths from it.
    ModifyStyle(0, LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS);
    SetExtendedStyle(0, LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT |
                            (setup.fullRow ? LVS_EX_FULLROWSELECT : 0u));
    SetPinIconsLeft(setup.pinIcons);

    m_smallImages.Add(Square(kBackground, kBackground));  // image 0 is never drawn
    m_smallImages.Add(Square(kIconRed, kIconRed));
    m_smallImages.Add(Square(kIconBlue, kIconBlue));
    m_stateImages.Add(Square(kBoxEmpty, QColor(90, 90, 90)));
    m_stateImages.Add(Square(kBoxChecked, QColor(90, 90, 90)));
    SetImageList(&m_smallImages, LVSIL_SMALL);
    SetImageList(&m_stateImages, LVSIL_STATE);

    const std::array<const char*, 4> headings = {"Device", "Address", "Model", "Firmware"};
    const std::array<int, 4> widths = {150, 120, 80, 80};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNA column;
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<char*>(headings[static_cast<std::size_t>(c)]);
        column.cx = widths[static_cast<std::size_t>(c)];
        column.fmt = c == 0 ? setup.firstColumnAlign : (c == 3 ? LVCFMT_RIGHT : LVCFMT_LEFT);
        InsertColumn(c, column);
    }
    for (int r = 0; r < kRows; ++r) {
        const DEMO_ROW& row = kDemoRows[static_cast<std::size_t>(r)];
        LVITEMA item;
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item.iItem = r;
        item.pszText = const_cast<char*>(row.fields[0]);
        item.iImage = row.image;
        item.lParam = r;
        item.state = (row.checked ? 2u : 1u) << 12;
        item.stateMask = LVIS_STATEIMAGEMASK;
        InsertItem(item);
        for (int c = 1; c < 4; ++c) {
            LVITEMA cell;
            cell.iSubItem = c;
            cell.pszText = const_cast<char*>(row.fields[c]);
            SetItemText(r, cell);
        }
    }
    if (setup.sortKey != 0) {
        SortItems(&CompareByAddress, 0);
        SetSortKey(setup.sortKey);
        ShowSortArrow(true);
        ShadeSortedColumn(true);
    }
    if (setup.moveFirstColumn) {
        const std::array<int, 4> order = {1, 2, 0, 3};
        SetColumnOrderArray(order);
    }
    resize(460, 200);
}

OwnerDrawDemoList::~OwnerDrawDemoList()
{
    DeleteAllItems();
    SetImageList(nullptr, LVSIL_SMALL);
    SetImageList(nullptr, LVSIL_STATE);
}

const char* OwnerDrawDemoList::DeviceName(int row)
{
    return kDemoRows[static_cast<std::size_t>(row)].fields[0];
}

QWidget* OwnerDrawDemoList::Viewport() const
{
    return Control().DetailsView()->viewport();
}

QWidget* OwnerDrawDemoList::Details() const
{
    return Control().DetailsView();
}

void OwnerDrawDemoList::ShowFocused()
{
    show();
    activateWindow();
    Details()->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
}

QImage OwnerDrawDemoList::ListArea()
{
    QApplication::processEvents();
    const QImage image = grab().toImage().convertToFormat(QImage::Format_RGB32);
    return image.copy(QRect(Viewport()->mapTo(this, QPoint(0, 0)), Viewport()->size()));
}

void SendMouse(QWidget& target, QEvent::Type type, const QPoint& pos, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(pos), QPointF(target.mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

void SendKey(QWidget& target, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent event(type, key, modifiers);
    QApplication::sendEvent(&target, &event);
}

QPoint Middle(const QRect& rect)
{
    return {rect.x() + rect.width() / 2, rect.y() + rect.height() / 2};
}

// ---- Screens ---------------------------------------------------------------------------------

namespace {

bool Save(OwnerDrawDemoList& list, const QString& dir, const QString& name)
{
    QApplication::processEvents();
    return list.grab().save(dir + QStringLiteral("/") + name);
}

QRect LabelOf(OwnerDrawDemoList& list, int item)
{
    QRect label;
    list.CellRect(item, 0, LVIR_LABEL, label);
    return label;
}

}  // namespace

bool WriteDemoShots(const QString& dir)
{
    QDir().mkpath(dir);
    bool ok = true;
    {
        // Full-row selection, the shaded sorted column, a hot item under the mouse.
        OwnerDrawDemoList list(DEMO_SETUP{});
        list.ShowFocused();
        list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SendMouse(*list.Viewport(), QEvent::MouseMove, Middle(LabelOf(list, 3)));
        ok = Save(list, dir, QStringLiteral("ownerdraw-fullrow-hot.png")) && ok;
        // The hot item moves on: only the old and the new hot item are repainted.
        SendMouse(*list.Viewport(), QEvent::MouseMove, Middle(LabelOf(list, 1)));
        ok = Save(list, dir, QStringLiteral("ownerdraw-fullrow-hot-selected.png")) && ok;
    }
    {
        // Without full-row selection, centred first column: the highlight hugs the text.
        DEMO_SETUP setup;
        setup.fullRow = false;
        setup.firstColumnAlign = LVCFMT_CENTER;
        OwnerDrawDemoList list(setup);
        list.ShowFocused();
        list.SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ok = Save(list, dir, QStringLiteral("ownerdraw-centred.png")) && ok;
        // A click on a check box toggles it and leaves the selection alone.
        QRect box;
        list.StateIconRect(4, box);
        SendMouse(*list.Viewport(), QEvent::MouseButtonPress, Middle(box), Qt::LeftButton);
        SendMouse(*list.Viewport(), QEvent::MouseButtonRelease, Middle(box), Qt::LeftButton);
        ok = Save(list, dir, QStringLiteral("ownerdraw-checkbox-clicked.png")) && ok;
    }
    {
        // Column 0 dragged to the third position, icons pinned to the left; Ctrl + numpad plus
        // sizes the columns.
        DEMO_SETUP setup;
        setup.fullRow = false;
        setup.pinIcons = true;
        setup.moveFirstColumn = true;
        OwnerDrawDemoList list(setup);
        list.ShowFocused();
        list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ok = Save(list, dir, QStringLiteral("ownerdraw-pinned.png")) && ok;
        SendKey(*list.Details(), QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
        SendKey(*list.Details(), QEvent::KeyPress, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        SendKey(*list.Details(), QEvent::KeyRelease, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        SendKey(*list.Details(), QEvent::KeyRelease, Qt::Key_Control);
        ok = Save(list, dir, QStringLiteral("ownerdraw-pinned-sized.png")) && ok;
    }
    return ok;
}

}  // namespace vantor::demo
