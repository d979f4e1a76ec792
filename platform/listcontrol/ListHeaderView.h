#pragma once

#include <QHeaderView>

namespace vantor::lc {

class ListControl;

// The header of the details type: sections are the control columns, the visual order is the
// control's display order. It tells whether a mouse button is held (so that a section resize
// can be told apart as the user's tracking) and when it is released.
class ListHeaderView final : public QHeaderView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListHeaderView)

public:
    ListHeaderView(const ListControl& control, QWidget* parent);

    bool IsMouseHeld() const { return m_mouseHeld; }
    // Width that fits a section's text and image.
    int SectionContentsWidth(int section) const { return sectionSizeFromContents(section).width(); }

signals:
    void mouseReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    // Measured in the font the sections are drawn in. The base class measures every section in
    // bold, which these sections never are; that also loaded a second font at start-up only
    // to learn the header's height.
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    const ListControl& m_control;
    bool m_mouseHeld = false;
};

}  // namespace vantor::lc
