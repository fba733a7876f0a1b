#include "app/CAboutDlg.h"

#include "res/Strings.h"

#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(const QString& makerAddress, std::function<void(const QString&)> openPage,
                     QWidget* parent)
    : QDialog(parent), address(makerAddress), open(std::move(openPage))
{
    setWindowTitle(resString(Str::AboutCaption));
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));

    auto* icon = new QLabel;
    icon->setPixmap(QIcon(QStringLiteral(":/icons/kumorial.svg")).pixmap(32, 32));
    titleControl = new QLabel(resString(Str::AppTitle));
    versionControl = new QLabel(resString(Str::Version));
    auto* notice1 = new QLabel(resString(Str::AboutNotice1));
    auto* notice2 = new QLabel(resString(Str::AboutNotice2));

    // The address is shown as its file name when it is a local file: a full path does not
    // fit the box and says nothing more.
    const QString shown = QFileInfo(address).isAbsolute() ? QFileInfo(address).fileName() : address;
    linkControl = new QLabel(shown.toHtmlEscaped());
    linkControl->setToolTip(address);
    QFont linkFont(QStringLiteral("ＭＳ Ｐゴシック"));
    linkFont.setPixelSize(12);
    linkFont.setUnderline(true);
    linkControl->setFont(linkFont);
    QPalette palette = linkControl->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    linkControl->setPalette(palette);
    linkControl->setCursor(Qt::PointingHandCursor);
    linkControl->installEventFilter(this);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(10);
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    auto* first = new QHBoxLayout;
    first->addWidget(titleControl);
    first->addWidget(versionControl);
    first->addStretch();
    grid->addLayout(first, 0, 1);
    grid->addWidget(notice1, 1, 1);
    grid->addWidget(notice2, 2, 1);
    grid->addWidget(linkControl, 3, 1);
    grid->addWidget(ok, 4, 0, 1, 2, Qt::AlignHCenter);
    ok->setFocus();
}

void CAboutDlg::OpenMakerPage()
{
    if (open)
        open(address);
}

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == linkControl && event->type() == QEvent::MouseButtonRelease)
        OpenMakerPage();
    return QDialog::eventFilter(watched, event);
}
