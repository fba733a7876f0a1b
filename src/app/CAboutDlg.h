#pragma once

#include <QDialog>
#include <functional>

class QLabel;

// The About box: title, version, two notice lines and the link to the maker's page, which
// opens the page and leaves the box open.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(const QString& makerAddress, std::function<void(const QString&)> openPage,
              QWidget* parent = nullptr);

    QLabel* titleControl = nullptr;   // 1000
    QLabel* versionControl = nullptr; // 1001
    QLabel* linkControl = nullptr;    // 1002

    void OpenMakerPage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString address;
    std::function<void(const QString&)> open;
};
