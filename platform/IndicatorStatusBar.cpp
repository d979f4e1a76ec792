#include "platform/IndicatorStatusBar.h"

#include "resources/StringTable.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>

namespace vantor {
namespace {

// Space between a pane's text and its edges, so that "CAP" and friends do not touch the frame.
constexpr int kPaneTextMargin = 4;

}  // namespace

IndicatorStatusBar::IndicatorStatusBar(QWidget* parent)
    : QStatusBar(parent)
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
}

IndicatorStatusBar::~IndicatorStatusBar()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeEventFilter(this);
}

bool IndicatorStatusBar::SetIndicators(std::span<const int> ids)
{
    for (Pane& pane : m_panes) {
        removeWidget(pane.label);
        delete pane.label;
    }
    m_panes.clear();
    m_panes.reserve(ids.size());

    for (std::size_t i = 0; i < ids.size(); ++i) {
        Pane pane;
        pane.id = ids[i];
        pane.label = new QLabel(this);
        pane.label->setTextFormat(Qt::PlainText);
        if (i == 0) {
            // The message pane takes whatever width the others leave.
            pane.style = SBPS_NOBORDERS | SBPS_STRETCH;
            pane.text = m_idleText;
            addWidget(pane.label, 1);
        } else {
            pane.style = SBPS_NORMAL;
            if (pane.id != kMessagePaneId)
                pane.text = LoadString(pane.id);
            pane.width = pane.label->fontMetrics().horizontalAdvance(pane.text) + 2 * kPaneTextMargin;
            pane.label->setAlignment(Qt::AlignCenter);
            pane.label->setFixedWidth(pane.width);
            addPermanentWidget(pane.label, 0);
        }
        m_panes.push_back(pane);
        ShowPane(m_panes.back());
    }
    RefreshLockKeys();
    return true;
}

int IndicatorStatusBar::CommandToIndex(int id) const
{
    for (std::size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].id == id)
            return static_cast<int>(i);
    return -1;
}

bool IndicatorStatusBar::IsValidIndex(int index) const
{
    return index >= 0 && index < PaneCount();
}

bool IndicatorStatusBar::SetPaneText(int index, const QString& text, bool update)
{
    if (!IsValidIndex(index))
        return false;
    Pane& pane = m_panes[static_cast<std::size_t>(index)];
    pane.text = text;
    ShowPane(pane);
    if (update)
        pane.label->repaint();
    return true;
}

QString IndicatorStatusBar::GetPaneText(int index) const
{
    return IsValidIndex(index) ? m_panes[static_cast<std::size_t>(index)].text : QString();
}

QString IndicatorStatusBar::DisplayedPaneText(int index) const
{
    return IsValidIndex(index) ? m_panes[static_cast<std::size_t>(index)].label->text() : QString();
}

bool IndicatorStatusBar::SetPaneInfo(int index, int id, unsigned style, int width)
{
    if (!IsValidIndex(index) || width < 0)
        return false;
    Pane& pane = m_panes[static_cast<std::size_t>(index)];
    pane.id = id;
    pane.style = style;
    pane.width = width;
    if (index != 0)
        pane.label->setFixedWidth(width);
    ShowPane(pane);
    return true;
}

bool IndicatorStatusBar::GetPaneInfo(int index, int& id, unsigned& style, int& width) const
{
    if (!IsValidIndex(index))
        return false;
    const Pane& pane = m_panes[static_cast<std::size_t>(index)];
    id = pane.id;
    style = pane.style;
    width = pane.width;
    return true;
}

QWidget* IndicatorStatusBar::PaneWidget(int index) const
{
    return IsValidIndex(index) ? m_panes[static_cast<std::size_t>(index)].label : nullptr;
}

void IndicatorStatusBar::SetIdleText(const QString& text)
{
    const bool showingIdle = !m_panes.empty() && m_panes.front().text == m_idleText;
    m_idleText = text;
    if (showingIdle)
        SetPaneText(0, m_idleText);
}

void IndicatorStatusBar::ShowPrompt(const QString& prompt)
{
    SetPaneText(0, prompt.isEmpty() ? m_idleText : prompt);
}

void IndicatorStatusBar::ShowPane(const Pane& pane)
{
    // A disabled pane keeps its text but draws none of it.
    const QString shown = (pane.style & SBPS_DISABLED) != 0 ? QString() : pane.text;
    if (pane.label->text() != shown)
        pane.label->setText(shown);
}

void IndicatorStatusBar::SetPaneEnabled(int id, bool enabled)
{
    const int index = CommandToIndex(id);
    if (index < 0)
        return;
    Pane& pane = m_panes[static_cast<std::size_t>(index)];
    if (enabled)
        pane.style &= ~SBPS_DISABLED;
    else
        pane.style |= SBPS_DISABLED;
    ShowPane(pane);
}

void IndicatorStatusBar::ApplyLockKeys(const std::optional<LockKeyState>& state)
{
    const LockKeyState keys = state.value_or(LockKeyState{});
    SetPaneEnabled(kCapsLockId, keys.capsLock);
    SetPaneEnabled(kNumLockId, keys.numLock);
    SetPaneEnabled(kScrollLockId, keys.scrollLock);
}

void IndicatorStatusBar::RefreshLockKeys()
{
    ApplyLockKeys(ReadLockKeys());
}

bool IndicatorStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // A key event travels from the window down to the widgets; read the state once, at the
        // window.
        if (watched->isWindowType())
            RefreshLockKeys();
        break;
    case QEvent::ApplicationActivate:
        RefreshLockKeys();
        break;
    case QEvent::WindowActivate:
        if (watched == window())
            RefreshLockKeys();
        break;
    default:
        break;
    }
    return QStatusBar::eventFilter(watched, event);
}

}  // namespace vantor
