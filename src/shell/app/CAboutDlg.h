#pragma once

#include "shell/dialogs/DialogBuilder.h"

#include <QFont>
#include <functional>

#include <QLabel>

// The About box: title, version, two notice lines and the link to the maker's page, which
// opens the page and leaves the box open.
class CAboutDlg : public TemplateDialog {
    Q_OBJECT
public:
    CAboutDlg(const QString& makerAddress, std::function<void(const QString&)> openPage,
              QWidget* parent = nullptr);

    QLabel* linkControl() const;

    void OpenMakerPage();

protected:
    void initDialog() override;

private:
    QString address;
    std::function<void(const QString&)> open;
    QString linkText, versionText, titleText;
    QFont linkFont;
};
