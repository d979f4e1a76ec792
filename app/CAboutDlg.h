#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vantor {

// The About box: program icon, name and version, the maker's notice, and OK.
class CAboutDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAboutDlg)

public:
    static constexpr int IDD = 100;

    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    QLabel* IconLabel() const { return m_icon; }
    QLabel* VersionLabel() const { return m_version; }
    QLabel* NoticeLabel() const { return m_notice; }
    QPushButton* OkButton() const { return m_ok; }

private:
    QLabel* m_icon;
    QLabel* m_version;
    QLabel* m_notice;
    QPushButton* m_ok;
};

}  // namespace vantor
