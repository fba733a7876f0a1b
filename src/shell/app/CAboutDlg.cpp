#include "shell/app/CAboutDlg.h"

#include "core/res/Strings.h"

#include <QFileInfo>
#include <QIcon>
#include <QLabel>

CAboutDlg::CAboutDlg(const QString& makerAddress, std::function<void(const QString&)> openPage,
                     QWidget* parent)
    : TemplateDialog(DialogTemplates::About, parent), address(makerAddress), open(std::move(openPage))
{
    bindText(LinkId, linkText);
    bindText(VersionId, versionText);
    bindText(TitleId, titleText);
    setIcon(QIcon(QStringLiteral(":/icons/kumorial.svg")));
}

void CAboutDlg::initDialog()
{
    linkFont = QFont(QStringLiteral("ＭＳ Ｐゴシック"));
    linkFont.setPixelSize(12);
    makeLink(
        LinkId, [this] { OpenMakerPage(); }, &linkFont);
    // A local page is shown by its file name: the full path does not fit the box.
    linkText = QFileInfo(address).isAbsolute() ? QFileInfo(address).fileName() : address;
    setControlText(LinkId, linkText);
    linkControl()->setToolTip(address);
    titleText = resString(Str::AppTitle);
    setControlText(TitleId, titleText);
    versionText = resString(Str::Version);
    setControlText(VersionId, versionText);
    setWindowTitle(resString(Str::AboutCaption));
}

void CAboutDlg::OpenMakerPage()
{
    if (open)
        open(address);
}
