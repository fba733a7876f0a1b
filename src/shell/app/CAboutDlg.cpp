#include "shell/app/CAboutDlg.h"

#include "core/res/ControlIds.h"
#include "core/res/Strings.h"

#include <QFileInfo>
#include <QIcon>
#include <QLabel>

CAboutDlg::CAboutDlg(const QString& makerAddress, std::function<void(const QString&)> openPage,
                     QWidget* parent)
    : TemplateDialog(DialogTemplates::About, parent), address(makerAddress), open(std::move(openPage))
{
    bindText(ControlIds::AboutLink, linkText);
    bindText(ControlIds::AboutVersion, versionText);
    bindText(ControlIds::AboutTitle, titleText);
    setIcon(QIcon(QStringLiteral(":/icons/kumorial.svg")));
}

void CAboutDlg::initDialog()
{
    linkFont = QFont(QStringLiteral("ＭＳ Ｐゴシック"));
    linkFont.setPixelSize(12);
    makeLink(
        ControlIds::AboutLink, [this] { OpenMakerPage(); }, &linkFont);
    // A local page is shown by its file name: the full path does not fit the box.
    linkText = QFileInfo(address).isAbsolute() ? QFileInfo(address).fileName() : address;
    setControlText(ControlIds::AboutLink, linkText);
    linkControl()->setToolTip(address);
    titleText = resString(Str::AppTitle);
    setControlText(ControlIds::AboutTitle, titleText);
    versionText = resString(Str::Version);
    setControlText(ControlIds::AboutVersion, versionText);
    setWindowTitle(resString(Str::AboutCaption));
}

QLabel* CAboutDlg::linkControl() const
{
    return controlAs<QLabel>(ControlIds::AboutLink);
}

void CAboutDlg::OpenMakerPage()
{
    if (open)
        open(address);
}
