#pragma once

#include "listview/CListBase.h"
#include "platform/listcontrol/ImageList.h"
#include "tests/listview/RecordingListControl.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor::test {

// Fixed scheme colours for the probe, far from the background and the tint.
inline const QColor kProbeHighlight(10, 20, 200);
inline const QColor kProbeButtonFace(200, 180, 160);
inline const QColor kProbeHotColor(0, 0, 128);  // the extension's colour for hot items
inline const QColor kWhite(255, 255, 255);
inline const QColor kWhiteTint(247, 247, 247);

// The extension with its image drawing recorded and a fixed colour scheme.
class ShadeProbe final : public CListBase {
public:
    using CListBase::CListBase;

    struct Drawn {
        const lc::ImageList* images = nullptr;
        int index = -1;
        QPoint topLeft;
        QSize clip;
        bool blend = false;
    };
    std::vector<Drawn> drawn;

protected:
    void DrawListImage(QPainter& /*painter*/, const lc::ImageList& images, int index, const QPoint& topLeft,
                       const QSize& clip, bool blend50) override
    {
        drawn.push_back({&images, index, topLeft, clip, blend50});
    }
    QColor SystemColor(QPalette::ColorRole role) const override
    {
        return role == QPalette::Highlight ? kProbeHighlight : kProbeButtonFace;
    }
};

inline char* In(const char* text)
{
    return const_cast<char*>(text);
}

// A white list on the recording control: columns "C0".."C<n-1>" of widths 100, 110, 120, ...
// (all but the first hideable) and rows of texts with item data 1000 + row.
class ListBaseShadeFixture : public ::testing::Test {
protected:
    void AddColumns(int n)
    {
        for (int i = 0; i < n; ++i) {
            const std::string heading = "C" + std::to_string(i);
            lc::LVCOLUMNA d;
            d.mask = lc::LVCF_TEXT | lc::LVCF_WIDTH | lc::LVCF_FMT;
            d.pszText = In(heading.c_str());
            d.cx = 100 + 10 * i;
            ASSERT_EQ(list.InsertColumn(i, d), i);
            if (i > 0) {
                list.AllowColumnHiding(i);
            }
        }
    }

    void AddRows(int rows, int image = 0)
    {
        for (int r = 0; r < rows; ++r) {
            const std::string text = "row" + std::to_string(r);
            lc::LVITEMA item;
            item.mask = lc::LVIF_TEXT | lc::LVIF_PARAM | lc::LVIF_IMAGE;
            item.iItem = r;
            item.pszText = In(text.c_str());
            item.lParam = 1000 + r;
            item.iImage = image;
            ASSERT_EQ(list.InsertItem(item), r);
        }
    }

    // Custom-draw record of one stage for a cell.
    static lc::NMLVCUSTOMDRAW Stage(unsigned stage, int item = 0, int controlColumn = 0)
    {
        lc::NMLVCUSTOMDRAW draw;
        draw.dwDrawStage = stage;
        draw.dwItemSpec = item;
        draw.iSubItem = controlColumn;
        draw.clrTextBk = QColor(1, 2, 3);  // what the control would fill with unless told
        return draw;
    }

    // A canvas the size of the fake's list area, filled with a colour no code paints.
    static QImage Canvas()
    {
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(kUntouched);
        return image;
    }

    static inline const QColor kUntouched{255, 0, 255};

    RecordingListControl control;
    ShadeProbe list{control};
};

}  // namespace vantor::test
