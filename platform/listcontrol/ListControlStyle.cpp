// Styles, colours and image lists: the list type and its view, selection mode, hot tracking,
// header drag permission, icon sizes and the background colour.

#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControl_p.h"

#include "platform/listcontrol/ImageList.h"
#include "platform/listcontrol/ListControlModel.h"
#include "platform/listcontrol/ListDetailsView.h"
#include "platform/listcontrol/ListHeaderView.h"
#include "platform/listcontrol/ListIconView.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QStackedLayout>

#include <algorithm>
#include <utility>

namespace vantor::lc {

// ---- Styles ------------------------------------------------------------------------------------

QAbstractItemView* ListControl::Private::CurrentView() const
{
    return IsDetails() ? static_cast<QAbstractItemView*>(tree) : static_cast<QAbstractItemView*>(icons);
}

void ListControl::Private::ApplyStyle()
{
    const unsigned style = data.appearance.style;
    const auto mode =
        (style & LVS_SINGLESEL) != 0 ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection;
    tree->setSelectionMode(mode);
    icons->setSelectionMode(mode);
    switch (style & LVS_TYPEMASK) {
    case LVS_ICON:
        icons->setViewMode(QListView::IconMode);
        icons->setFlow(QListView::LeftToRight);
        break;
    case LVS_SMALLICON:
        icons->setViewMode(QListView::ListMode);
        icons->setFlow(QListView::LeftToRight);
        break;
    case LVS_LIST:
        icons->setViewMode(QListView::ListMode);
        icons->setFlow(QListView::TopToBottom);
        break;
    default:
        break;
    }
    icons->setWrapping((style & LVS_TYPEMASK) != LVS_REPORT);
    icons->setMovement(QListView::Static);
    icons->setResizeMode(QListView::Adjust);
    ApplyImageLists();
    QWidget* shown = CurrentView();
    const bool hadFocus = q.focusProxy() != nullptr && q.focusProxy()->hasFocus();
    if (stack->currentWidget() != shown) {
        stack->setCurrentWidget(shown);
        q.setFocusProxy(shown);
        if (hadFocus)
            shown->setFocus();
    }
    shown->update();
    CurrentView()->viewport()->update();
}

void ListControl::Private::ApplyExtendedStyle()
{
    const unsigned extStyle = data.appearance.extStyle;
    header->setSectionsMovable((extStyle & LVS_EX_HEADERDRAGDROP) != 0);
    if ((extStyle & kHotTrackingStyles) == 0)
        hotItem = -1;
    tree->viewport()->update();
    icons->viewport()->update();
}

void ListControl::Private::ApplyImageLists()
{
    const ListAppearance& look = data.appearance;
    const ImageList* iconImages = (look.style & LVS_TYPEMASK) == LVS_ICON ? look.normalImages : look.smallImages;
    const QSize fallback = (look.style & LVS_TYPEMASK) == LVS_ICON ? QSize(32, 32) : QSize(16, 16);
    const QSize iconSize = iconImages != nullptr ? iconImages->ImageSize() : fallback;
    icons->setIconSize(iconSize);
    if ((look.style & LVS_TYPEMASK) == LVS_ICON) {
        // Large icons sit in a grid with room for two lines of label below each.
        const int line = icons->fontMetrics().height();
        icons->setWordWrap(true);
        icons->setGridSize(QSize(std::max(iconSize.width() + 44, 76), iconSize.height() + 2 * line + 10));
    } else {
        icons->setWordWrap(false);
        icons->setGridSize(QSize());
    }
    if (look.smallImages != nullptr)
        tree->setIconSize(look.smallImages->ImageSize());
}

// ---- Styles, colours, images -------------------------------------------------------------------

unsigned ListControl::GetStyle() const
{
    return d->data.appearance.style;
}

void ListControl::ModifyStyle(unsigned remove, unsigned add)
{
    unsigned& style = d->data.appearance.style;
    const unsigned old = style;
    style = (style & ~remove) | add;
    if (style == old)
        return;
    d->ApplyStyle();
    if (((old ^ style) & LVS_TYPEMASK) != 0)
        d->model->AllItemsChanged();  // decorations and alignment depend on the type
    // A single-selection list keeps only the first selected item.
    if ((style & LVS_SINGLESEL) != 0 && d->data.SelectedCount() > 1) {
        const int first = d->data.NextItem(-1, LVNI_SELECTED);
        d->StateChanged(d->ApplyState(first, LVIS_SELECTED, LVIS_SELECTED), LVIS_SELECTED);
    }
}

unsigned ListControl::SetExtendedStyle(unsigned mask, unsigned style)
{
    unsigned& extStyle = d->data.appearance.extStyle;
    const unsigned previous = extStyle;
    if (mask == 0)
        mask = ~0u;
    extStyle = (previous & ~mask) | (style & mask);
    if (extStyle != previous) {
        d->ApplyExtendedStyle();
        if (((previous ^ extStyle) & LVS_EX_SUBITEMIMAGES) != 0)
            d->model->AllItemsChanged();
    }
    return previous;
}

unsigned ListControl::GetExtendedStyle() const
{
    return d->data.appearance.extStyle;
}

ImageList* ListControl::SetImageList(ImageList* images, int which)
{
    ListAppearance& look = d->data.appearance;
    ImageList** slot = nullptr;
    switch (which) {
    case LVSIL_NORMAL:
        slot = &look.normalImages;
        break;
    case LVSIL_SMALL:
        slot = &look.smallImages;
        break;
    case LVSIL_STATE:
        slot = &look.stateImages;
        break;
    default:
        return nullptr;
    }
    ImageList* previous = std::exchange(*slot, images);
    if (previous != images) {
        d->ApplyImageLists();
        // Row heights follow the image sizes; the tree view measures its first row again at its
        // next layout, which it does before it paints or answers for a row.
        d->tree->ScheduleLayout();
        d->model->AllItemsChanged();
    }
    return previous;
}

ImageList* ListControl::GetImageList(int which) const
{
    const ListAppearance& look = d->data.appearance;
    switch (which) {
    case LVSIL_NORMAL:
        return look.normalImages;
    case LVSIL_SMALL:
        return look.smallImages;
    case LVSIL_STATE:
        return look.stateImages;
    default:
        return nullptr;
    }
}

bool ListControl::SetBkColor(const QColor& color)
{
    d->data.appearance.bkColor = color;
    QPalette palette = d->icons->palette();
    palette.setColor(QPalette::Base, GetBkColor());
    d->icons->setPalette(palette);
    d->tree->viewport()->update();
    return true;
}

QColor ListControl::GetBkColor() const
{
    return d->tree->BackgroundColor();
}

int ListControl::ColorDepth() const
{
    const QScreen* shown = screen();
    if (shown == nullptr)
        shown = QGuiApplication::primaryScreen();
    return shown != nullptr ? shown->depth() : 0;
}

}  // namespace vantor::lc
