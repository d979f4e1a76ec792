#pragma once

// Descriptors, masks and styles of the report-style list control. They keep the shapes the
// list extension's algorithms are written against (column and item descriptors with masks,
// caller-owned text buffers with a capacity, the text-callback marker), in typed form.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <Qt>

#include <cstdint>

class QPainter;

namespace vantor::lc {

using LPARAM = std::intptr_t;

// ---- Column descriptor -----------------------------------------------------------------------
inline constexpr unsigned LVCF_FMT = 0x0001;
inline constexpr unsigned LVCF_WIDTH = 0x0002;
inline constexpr unsigned LVCF_TEXT = 0x0004;
inline constexpr unsigned LVCF_SUBITEM = 0x0008;
inline constexpr unsigned LVCF_IMAGE = 0x0010;
inline constexpr unsigned LVCF_ORDER = 0x0020;

inline constexpr int LVCFMT_LEFT = 0x0000;
inline constexpr int LVCFMT_RIGHT = 0x0001;
inline constexpr int LVCFMT_CENTER = 0x0002;
inline constexpr int LVCFMT_JUSTIFYMASK = 0x0003;

// Where a cell's text sits across the cell for a column's format: left, right or centred.
constexpr Qt::Alignment HorizontalAlignment(int fmt)
{
    switch (fmt & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// pszText: on input a NUL-terminated text (nullptr for none); on output a caller buffer of
// cchTextMax bytes that receives at most cchTextMax - 1 bytes and a terminator.
struct LVCOLUMNA {
    unsigned mask = 0;
    int fmt = 0;
    int cx = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
    int iImage = 0;
    int iOrder = 0;
};

// ---- Item descriptor -------------------------------------------------------------------------
inline constexpr unsigned LVIF_TEXT = 0x0001;
inline constexpr unsigned LVIF_IMAGE = 0x0002;
inline constexpr unsigned LVIF_PARAM = 0x0004;
inline constexpr unsigned LVIF_STATE = 0x0008;
inline constexpr unsigned LVIF_INDENT = 0x0010;

inline constexpr unsigned LVIS_FOCUSED = 0x0001;
inline constexpr unsigned LVIS_SELECTED = 0x0002;
inline constexpr unsigned LVIS_CUT = 0x0004;
inline constexpr unsigned LVIS_DROPHILITED = 0x0008;
inline constexpr unsigned LVIS_OVERLAYMASK = 0x0F00;
inline constexpr unsigned LVIS_STATEIMAGEMASK = 0xF000;

// The text-callback marker: an item text given as this pointer is asked for through the
// display-text notification whenever the control needs it. It is an address that is never
// read or written.
inline char textCallbackMarkerStorage = 0;
inline constexpr char* LPSTR_TEXTCALLBACK = &textCallbackMarkerStorage;

struct LVITEMA {
    unsigned mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    unsigned state = 0;
    unsigned stateMask = 0;
    char* pszText = nullptr;  // text, LPSTR_TEXTCALLBACK, or (on output) a caller buffer
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
    int iIndent = 0;
};

// ---- Find descriptor -------------------------------------------------------------------------
inline constexpr unsigned LVFI_PARAM = 0x0001;
inline constexpr unsigned LVFI_STRING = 0x0002;
inline constexpr unsigned LVFI_PARTIAL = 0x0008;
inline constexpr unsigned LVFI_WRAP = 0x0020;

struct LVFINDINFOA {
    unsigned flags = 0;
    const char* psz = nullptr;
    LPARAM lParam = 0;
};

// ---- Next-item flags, rectangle codes, image list slots --------------------------------------
inline constexpr unsigned LVNI_ALL = 0x0000;
inline constexpr unsigned LVNI_FOCUSED = 0x0001;
inline constexpr unsigned LVNI_SELECTED = 0x0002;

inline constexpr int LVIR_BOUNDS = 0;
inline constexpr int LVIR_ICON = 1;
inline constexpr int LVIR_LABEL = 2;
inline constexpr int LVIR_SELECTBOUNDS = 3;

// Special column widths: fit the contents, or the contents and the header text.
inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

inline constexpr int LVSIL_NORMAL = 0;
inline constexpr int LVSIL_SMALL = 1;
inline constexpr int LVSIL_STATE = 2;

// ---- Window styles (the type lives in the low two bits) --------------------------------------
inline constexpr unsigned LVS_ICON = 0x0000;
inline constexpr unsigned LVS_REPORT = 0x0001;
inline constexpr unsigned LVS_SMALLICON = 0x0002;
inline constexpr unsigned LVS_LIST = 0x0003;
inline constexpr unsigned LVS_TYPEMASK = 0x0003;
inline constexpr unsigned LVS_SINGLESEL = 0x0004;
inline constexpr unsigned LVS_SHOWSELALWAYS = 0x0008;
inline constexpr unsigned LVS_SORTASCENDING = 0x0010;
inline constexpr unsigned LVS_SORTDESCENDING = 0x0020;
inline constexpr unsigned LVS_AUTOARRANGE = 0x0100;
inline constexpr unsigned LVS_OWNERDRAWFIXED = 0x0400;
inline constexpr unsigned LVS_OWNERDATA = 0x1000;

// ---- Extended styles -------------------------------------------------------------------------
inline constexpr unsigned LVS_EX_GRIDLINES = 0x0001;
inline constexpr unsigned LVS_EX_SUBITEMIMAGES = 0x0002;
inline constexpr unsigned LVS_EX_CHECKBOXES = 0x0004;
inline constexpr unsigned LVS_EX_TRACKSELECT = 0x0008;
inline constexpr unsigned LVS_EX_HEADERDRAGDROP = 0x0010;
inline constexpr unsigned LVS_EX_FULLROWSELECT = 0x0020;
inline constexpr unsigned LVS_EX_ONECLICKACTIVATE = 0x0040;
inline constexpr unsigned LVS_EX_TWOCLICKACTIVATE = 0x0080;
inline constexpr unsigned LVS_EX_UNDERLINEHOT = 0x0800;

// ---- Header items ----------------------------------------------------------------------------
inline constexpr unsigned HDI_WIDTH = 0x0001;
inline constexpr unsigned HDI_TEXT = 0x0002;
inline constexpr unsigned HDI_FORMAT = 0x0004;
inline constexpr unsigned HDI_IMAGE = 0x0020;
inline constexpr unsigned HDI_ORDER = 0x0080;

inline constexpr int HDF_LEFT = 0x0000;
inline constexpr int HDF_RIGHT = 0x0001;
inline constexpr int HDF_CENTER = 0x0002;
inline constexpr int HDF_JUSTIFYMASK = 0x0003;
inline constexpr int HDF_SORTDOWN = 0x0200;
inline constexpr int HDF_SORTUP = 0x0400;
inline constexpr int HDF_IMAGE = 0x0800;
inline constexpr int HDF_BITMAP_ON_RIGHT = 0x1000;
inline constexpr int HDF_STRING = 0x4000;

struct HDITEMA {
    unsigned mask = 0;
    int cxy = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int fmt = 0;
    int iImage = 0;
    int iOrder = 0;
};

// ---- Sorting ---------------------------------------------------------------------------------
// Compare callback: negative, zero or positive for the two items' item-data values.
using PFNLVCOMPARE = int (*)(LPARAM itemData1, LPARAM itemData2, LPARAM sortData);

// ---- Notification records --------------------------------------------------------------------
// Display-text request: item.iItem, item.iSubItem (a control column), item.mask (what is asked),
// item.lParam (the item's item data). The answer goes into item.pszText (a text the control
// copies at once, or the buffer item.pszText/cchTextMax the control supplied) and item.iImage.
struct NMLVDISPINFOA {
    LVITEMA item;
};

// Column click and similar list notifications.
struct NMLISTVIEW {
    int iItem = -1;
    int iSubItem = -1;  // control column
    QPoint ptAction;    // client coordinates
    LPARAM lParam = 0;
};

// Custom draw stages and answers.
inline constexpr unsigned CDDS_PREPAINT = 0x00000001;
inline constexpr unsigned CDDS_POSTPAINT = 0x00000002;
inline constexpr unsigned CDDS_ITEM = 0x00010000;
inline constexpr unsigned CDDS_SUBITEM = 0x00020000;
inline constexpr unsigned CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
inline constexpr unsigned CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;

inline constexpr unsigned CDRF_DODEFAULT = 0x00;
inline constexpr unsigned CDRF_NEWFONT = 0x02;
inline constexpr unsigned CDRF_SKIPDEFAULT = 0x04;
inline constexpr unsigned CDRF_NOTIFYPOSTPAINT = 0x10;
inline constexpr unsigned CDRF_NOTIFYITEMDRAW = 0x20;
inline constexpr unsigned CDRF_NOTIFYSUBITEMDRAW = 0x20;

struct NMLVCUSTOMDRAW {
    unsigned dwDrawStage = 0;
    QPainter* painter = nullptr;  // valid during the notification only
    QRect rc;                     // area being drawn (client coordinates)
    int dwItemSpec = -1;          // item index
    unsigned uItemState = 0;
    LPARAM lItemlParam = 0;
    QColor clrText;
    QColor clrTextBk;
    int iSubItem = 0;  // control column
};

// ---- Hit tests -------------------------------------------------------------------------------
inline constexpr unsigned LVHT_NOWHERE = 0x0001;
inline constexpr unsigned LVHT_ONITEMICON = 0x0002;
inline constexpr unsigned LVHT_ONITEMLABEL = 0x0004;
inline constexpr unsigned LVHT_ONITEMSTATEICON = 0x0008;
inline constexpr unsigned LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON;

// pt: list-area coordinates (in). flags and iItem (out); iItem is -1 when no item is hit.
struct LVHITTESTINFO {
    QPoint pt;
    unsigned flags = 0;
    int iItem = -1;
    int iSubItem = 0;
};

// ---- Owner drawing ---------------------------------------------------------------------------
inline constexpr unsigned ODA_DRAWENTIRE = 0x0001;
inline constexpr unsigned ODS_SELECTED = 0x0001;
inline constexpr unsigned ODS_FOCUS = 0x0010;

// Request to paint one whole item of an owner-drawn report list. The painter carries the
// list's font and is valid during the request only.
struct DRAWITEMSTRUCT {
    unsigned itemAction = ODA_DRAWENTIRE;
    unsigned itemState = 0;  // ODS_SELECTED, ODS_FOCUS (focused item of a focused list)
    QPainter* painter = nullptr;
    int itemID = -1;
    QRect rcItem;  // the item's bounds, list-area coordinates
    LPARAM itemData = 0;
};

// ---- Mouse and key messages on their way to the control ---------------------------------------
inline constexpr unsigned WM_KEYDOWN = 0x0100;
inline constexpr unsigned WM_KEYUP = 0x0101;
inline constexpr unsigned WM_MOUSEMOVE = 0x0200;
inline constexpr unsigned WM_LBUTTONDOWN = 0x0201;
inline constexpr unsigned WM_LBUTTONUP = 0x0202;
inline constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;

inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_ADD = 0x6B;  // plus on the numeric keypad

struct LISTINPUT {
    unsigned message = 0;
    QPoint point;        // mouse messages: list-area coordinates
    int virtualKey = 0;  // key messages: VK_CONTROL, VK_ADD, or 0 for any other key
    int qtKey = 0;       // key messages: the toolkit's key code
};

}  // namespace vantor::lc
