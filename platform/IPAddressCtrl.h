#pragma once

#include <QWidget>

#include <array>

class QLineEdit;

namespace vantor {

// An IPv4 address entry: four fields of 0-255 with dots between them, framed as one edit box and
// taking one stop in the tab order (Tab enters the first field, the next Tab leaves the control).
//
// Keys inside the control: "." moves on to the next field when the current one is not empty; a
// field that is full (three digits, or a value that no further digit can keep at 255 or below)
// moves on by itself; Backspace and Left at the start of a field go to the end of the one before,
// Right at the end of a field to the start of the next. Fields take digits only; a typed value
// above 255 becomes 255. An empty field reads as 0.
class CIPAddressCtrl final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CIPAddressCtrl)

public:
    static constexpr int kFieldCount = 4;

    explicit CIPAddressCtrl(QWidget* parent = nullptr);
    ~CIPAddressCtrl() override;

    // The four fields packed into one value, the first field in the most significant byte.
    void SetAddress(quint32 address);
    quint32 GetAddress() const;
    // True when all four fields are empty.
    bool IsBlank() const;
    // Empties all four fields.
    void ClearAddress();

    // Sets the control's accessible name and names each field after it: "<name>, group 2 of 4".
    void SetAccessibleNames(const QString& controlName);

    QLineEdit* Field(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int IndexOf(const QObject* field) const;
    bool HandleFieldKey(int index, const QKeyEvent& key);
    void OnFieldEdited(int index);
    void MoveTo(int index, bool selectAll, bool cursorAtEnd);
    bool HasFocusInside() const;
    int FrameWidth() const;
    int DotWidth() const;
    void LayoutFields();

    std::array<QLineEdit*, kFieldCount> m_fields{};
};

}  // namespace vantor
