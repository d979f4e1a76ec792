#pragma once

#include <QDialog>

#include <string>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace vantor {

// The password prompt of every device-changing command: one masked entry of at most eight
// characters, each of which has a single-byte form (see PasswordBytes). A new prompt is made for
// every datagram, so it always opens empty. Confirm (or Enter) accepts, also an empty entry;
// Cancel, Esc or the close box reject.
class CInputPasswordDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CInputPasswordDlg)

public:
    static constexpr int IDC_PASSWORD = 1001;

    explicit CInputPasswordDlg(QWidget* parent = nullptr);
    ~CInputPasswordDlg() override;

    // The confirmed entry; empty before the dialog was accepted.
    QString PasswordText() const;
    // The bytes the entry puts in the password field, at most eight.
    const std::string& PasswordBytes() const { return m_strPassword; }

    QLineEdit* PasswordEdit() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

public slots:
    void accept() override;

private:
    QGroupBox* m_group = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    std::string m_strPassword;  // one byte per character
};

}  // namespace vantor
