#include "shell/view/PreviewDock.h"

#include "core/base/Prompts.h"
#include "core/res/Strings.h"
#include "core/view/PreviewHtml.h"
#include "shell/framework/QtEditPane.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>

QImage PreviewBrowser::placeholder(const QString& address) const
{
    const QString text = resString(Str::PreviewImage).arg(address);
    const QFontMetrics fm(font());
    const int width = std::clamp(fm.horizontalAdvance(text) + 16, 64, 480);
    QImage image(width, fm.height() + 12, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::AlternateBase));
    QPainter p(&image);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Text));
    p.setFont(font());
    p.drawText(image.rect().adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
               fm.elidedText(text, Qt::ElideMiddle, width - 16));
    return image;
}

PreviewBrowser::PreviewBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

QString PreviewBrowser::localPath(const QUrl& name) const
{
    QString path;
    if (name.isLocalFile())
        path = name.toLocalFile();
    else if (name.scheme().isEmpty())
        path = name.path();
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).isRelative()) {
        if (baseFolder.isEmpty())
            return {};
        path = QDir(baseFolder).filePath(path);
    }
    return QFileInfo(path).isFile() ? path : QString();
}

QVariant PreviewBrowser::loadResource(int type, const QUrl& name)
{
    if (type != QTextDocument::ImageResource)
        return {};
    const QString path = localPath(name);
    if (!path.isEmpty()) {
        QImageReader reader(path);
        const QImage image = reader.read();
        if (!image.isNull())
            return image;
    }
    return placeholder(name.toString());
}

PreviewDock::PreviewDock(PaneWidget& w, Prompts& prompts, QWidget* parent)
    : QDockWidget(resString(Str::PreviewTitle), parent), pane(w), page(new PreviewBrowser(this))
{
    setObjectName(QStringLiteral("PreviewDock"));
    setWidget(page);
    timer.setSingleShot(true);
    timer.setInterval(Delay);
    connect(&timer, &QTimer::timeout, this, &PreviewDock::refresh);
    connect(pane.document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if ((removed || added) && isVisible())
            timer.start();
    });
    connect(page, &QTextBrowser::anchorClicked, this,
            [&prompts](const QUrl& url) { prompts.openUrl(url.toString()); });
}

void PreviewDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    refresh();
}

void PreviewDock::refresh()
{
    timer.stop();
    if (folderOf)
        page->setBaseFolder(folderOf());
    const QtEditPane& ep = pane.pane();
    const PreviewPage p = previewPage(ep.text(), ep.selection().end);
    page->setHtml(p.html);
    QScrollBar* bar = page->verticalScrollBar();
    // The caret's place goes to the middle of the view.
    const int span = bar->maximum() + bar->pageStep();
    bar->setValue(int(p.caretPlace * span) - bar->pageStep() / 2);
}
