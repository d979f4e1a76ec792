#include "platform/IPAddressCtrl.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>

#include <algorithm>

namespace vantor {
namespace {

constexpr unsigned kFieldMax = 255;
constexpr int kFieldDigits = 3;

unsigned FieldValue(const QLineEdit& field)
{
    bool ok = false;
    const unsigned value = field.text().toUInt(&ok);
    return ok ? std::min(value, kFieldMax) : 0u;
}

}  // namespace

CIPAddressCtrl::CIPAddressCtrl(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::LineEdit));

    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int index = 0; index < kFieldCount; ++index) {
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(kFieldDigits);
        field->setValidator(digits);
        // Clicks may land in any field, but only the control itself is a tab stop.
        field->setFocusPolicy(Qt::ClickFocus);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, index] { OnFieldEdited(index); });
        m_fields[static_cast<std::size_t>(index)] = field;
    }
    SetAccessibleNames(QString());
    LayoutFields();
}

CIPAddressCtrl::~CIPAddressCtrl()
{
    // The fields outlive this part of the object while the base class deletes them.
    for (QLineEdit* field : m_fields)
        field->removeEventFilter(this);
}

void CIPAddressCtrl::SetAddress(quint32 address)
{
    for (int index = 0; index < kFieldCount; ++index) {
        const quint32 value = (address >> (8 * (kFieldCount - 1 - index))) & 0xFFu;
        Field(index)->setText(QString::number(value));
    }
}

quint32 CIPAddressCtrl::GetAddress() const
{
    quint32 address = 0;
    for (const QLineEdit* field : m_fields)
        address = (address << 8) | FieldValue(*field);
    return address;
}

bool CIPAddressCtrl::IsBlank() const
{
    return std::all_of(m_fields.begin(), m_fields.end(), [](const QLineEdit* f) { return f->text().isEmpty(); });
}

void CIPAddressCtrl::ClearAddress()
{
    for (QLineEdit* field : m_fields)
        field->clear();
}

void CIPAddressCtrl::SetAccessibleNames(const QString& controlName)
{
    setAccessibleName(controlName);
    for (int index = 0; index < kFieldCount; ++index) {
        const QString group = QStringLiteral("group %1 of %2").arg(index + 1).arg(kFieldCount);
        Field(index)->setAccessibleName(controlName.isEmpty() ? group : controlName + QStringLiteral(", ") + group);
    }
}

QSize CIPAddressCtrl::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int field = metrics.horizontalAdvance(QStringLiteral("255")) + 6;
    const int inset = FrameWidth() + 1;
    return {kFieldCount * field + (kFieldCount - 1) * DotWidth() + 2 * inset, metrics.height() + 2 * inset};
}

QSize CIPAddressCtrl::minimumSizeHint() const
{
    return sizeHint();
}

bool CIPAddressCtrl::eventFilter(QObject* watched, QEvent* event)
{
    const int index = IndexOf(watched);
    if (index >= 0) {
        if (event->type() == QEvent::KeyPress && HandleFieldKey(index, static_cast<const QKeyEvent&>(*event)))
            return true;
        // The frame shows focus for the whole control.
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            update();
    }
    return QWidget::eventFilter(watched, event);
}

bool CIPAddressCtrl::focusNextPrevChild(bool next)
{
    // Tab in a field reaches here through the field's parent chain. The control is one tab stop,
    // so the walk starts from the control itself and skips everything inside it, wherever the
    // fields stand in the window's focus chain.
    const bool allControls = QGuiApplication::styleHints()->tabFocusBehavior() == Qt::TabFocusAllControls;
    const Qt::FocusPolicy stop = allControls ? Qt::TabFocus : Qt::StrongFocus;
    QWidget* candidate = this;
    for (;;) {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (candidate == nullptr || candidate == this)
            return false;
        if (isAncestorOf(candidate) || candidate->window() != window())
            continue;
        if ((candidate->focusPolicy() & stop) == stop && candidate->isEnabled() && candidate->isVisibleTo(window())) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

void CIPAddressCtrl::focusInEvent(QFocusEvent* event)
{
    // Entering the control puts the caret in the first field; from the keyboard its value is
    // selected, so that typing replaces it.
    Field(0)->setFocus(event->reason());
    if (event->reason() != Qt::MouseFocusReason)
        Field(0)->selectAll();
}

void CIPAddressCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = rect();
    option.lineWidth = FrameWidth();
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (HasFocusInside())
        option.state |= QStyle::State_HasFocus;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);

    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    for (int index = 0; index + 1 < kFieldCount; ++index) {
        const QRect field = Field(index)->geometry();
        painter.drawText(QRect(field.right() + 1, field.top(), DotWidth(), field.height()), Qt::AlignCenter,
                         QStringLiteral("."));
    }
}

void CIPAddressCtrl::resizeEvent(QResizeEvent*)
{
    LayoutFields();
}

void CIPAddressCtrl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        LayoutFields();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

int CIPAddressCtrl::IndexOf(const QObject* field) const
{
    const auto found = std::find(m_fields.begin(), m_fields.end(), field);
    return found == m_fields.end() ? -1 : static_cast<int>(found - m_fields.begin());
}

bool CIPAddressCtrl::HandleFieldKey(int index, const QKeyEvent& key)
{
    const QLineEdit* field = Field(index);
    if (key.text() == QStringLiteral(".")) {
        if (!field->text().isEmpty() && index + 1 < kFieldCount)
            MoveTo(index + 1, true, false);
        return true;  // a dot is never part of a field
    }
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || field->hasSelectedText())
        return false;
    const bool atStart = field->cursorPosition() == 0;
    const bool atEnd = field->cursorPosition() == field->text().size();
    switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Left:
        if (atStart && index > 0) {
            MoveTo(index - 1, false, true);
            return true;
        }
        return false;
    case Qt::Key_Right:
        if (atEnd && index + 1 < kFieldCount) {
            MoveTo(index + 1, false, false);
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CIPAddressCtrl::OnFieldEdited(int index)
{
    QLineEdit* field = Field(index);
    if (field->text().toUInt() > kFieldMax)
        field->setText(QString::number(kFieldMax));
    // Full: three digits, or a value that one more digit would take past 255.
    const unsigned value = FieldValue(*field);
    const bool full = field->text().size() == kFieldDigits || value * 10 > kFieldMax;
    if (full && field->cursorPosition() == field->text().size() && index + 1 < kFieldCount)
        MoveTo(index + 1, true, false);
}

void CIPAddressCtrl::MoveTo(int index, bool selectAll, bool cursorAtEnd)
{
    QLineEdit* field = Field(index);
    field->setFocus(Qt::OtherFocusReason);
    if (selectAll)
        field->selectAll();
    else
        field->setCursorPosition(cursorAtEnd ? static_cast<int>(field->text().size()) : 0);
}

bool CIPAddressCtrl::HasFocusInside() const
{
    return hasFocus() ||
           std::any_of(m_fields.begin(), m_fields.end(), [](const QLineEdit* f) { return f->hasFocus(); });
}

int CIPAddressCtrl::FrameWidth() const
{
    QStyleOptionFrame option;
    option.initFrom(this);
    return style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
}

int CIPAddressCtrl::DotWidth() const
{
    return fontMetrics().horizontalAdvance(QLatin1Char('.')) + 2;
}

void CIPAddressCtrl::LayoutFields()
{
    // One pixel of margin inside the frame, as a line edit keeps, so that no field covers the
    // style's focus rim.
    const int inset = FrameWidth() + 1;
    const QRect inner = rect().adjusted(inset, inset, -inset, -inset);
    const int dot = DotWidth();
    const int room = std::max(0, inner.width() - (kFieldCount - 1) * dot);
    int x = inner.left();
    for (int index = 0; index < kFieldCount; ++index) {
        const int width = room / kFieldCount + (index < room % kFieldCount ? 1 : 0);
        Field(index)->setGeometry(x, inner.top(), width, std::max(0, inner.height()));
        x += width + dot;
    }
}

}  // namespace vantor
