#include "shell/view/PreviewDock.h"

#include "core/base/Prompts.h"
#include "core/res/Strings.h"
#include "core/view/PreviewHtml.h"
#include "shell/framework/QtEditPane.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTextDocument>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <optional>

QImage PreviewImages::placeholder(const QString& address) const
{
    const QString text = resString(Str::PreviewImage).arg(address);
    const QFontMetrics fm(font);
    const int width = std::clamp(fm.horizontalAdvance(text) + 16, 64, 480);
    QImage image(width, fm.height() + 12, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette.color(QPalette::AlternateBase));
    QPainter p(&image);
    p.setPen(palette.color(QPalette::Mid));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    p.setPen(palette.color(QPalette::Text));
    p.setFont(font);
    p.drawText(image.rect().adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
               fm.elidedText(text, Qt::ElideMiddle, width - 16));
    return image;
}

PreviewBrowser::PreviewBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

QString PreviewImages::localPath(const QUrl& name) const
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

QImage PreviewImages::image(const QUrl& name) const
{
    const QString path = localPath(name);
    if (!path.isEmpty()) {
        QImageReader reader(path);
        const QImage image = reader.read();
        if (!image.isNull())
            return image;
    }
    return placeholder(name.toString());
}

QVariant PreviewBrowser::loadResource(int type, const QUrl& name)
{
    if (type != QTextDocument::ImageResource)
        return {};
    return images().image(name);
}

struct PreviewRequest {
    quint64 serial = 0;
    QString text;
    qsizetype caret = 0;
    PreviewImages images;
    qreal width = 0;
};

namespace {
// Its images come from values rather than from the browser, so the page can be built on
// any thread; each is read once and kept.
class PreviewDocument : public QTextDocument {
public:
    explicit PreviewDocument(PreviewImages images) : images(std::move(images)) {}

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        if (type != QTextDocument::ImageResource)
            return {};
        const QImage image = images.image(name);
        addResource(type, name, image);
        return image;
    }

private:
    const PreviewImages images;
};

struct BuiltPage {
    std::unique_ptr<QTextDocument> doc;
    double caretPlace = 0;
};

// Qt's rich-text import and layout need no widget, so this runs on any thread.
BuiltPage build(const PreviewRequest& r)
{
    const PreviewPage p = previewPage(r.text, r.caret);
    auto doc = std::make_unique<PreviewDocument>(r.images);
    doc->setDefaultFont(r.images.font);
    doc->setPageSize(QSizeF(r.width, -1));
    doc->setHtml(p.html);
    // The whole layout now, while off the UI thread; the browser's pass then reuses the shaping.
    doc->documentLayout()->documentSize();
    return {std::move(doc), p.caretPlace};
}
} // namespace

// Builds pages on a thread of its own. Only the newest request waits: one asked for while
// another is built replaces any still waiting.
class PreviewRenderer {
public:
    using Done = std::function<void(quint64 serial, std::unique_ptr<QTextDocument> doc, double caretPlace)>;

    PreviewRenderer(QThread* home, Done whenDone) : home(home), done(std::move(whenDone))
    {
        thread.reset(QThread::create([this] { run(); }));
        thread->setObjectName(QStringLiteral("PreviewRenderer"));
        thread->start(QThread::LowPriority);
    }
    ~PreviewRenderer()
    {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
            next.reset();
        }
        wake.notify_one();
        // At most the page being built is waited for; its text is cut to PreviewWindow.
        thread->wait();
    }
    void post(PreviewRequest r)
    {
        {
            const std::lock_guard lock(mutex);
            next = std::move(r);
        }
        wake.notify_one();
    }

private:
    void run()
    {
        for (;;) {
            PreviewRequest r;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return stopping || next.has_value(); });
                if (stopping)
                    return;
                r = std::move(*next);
                next.reset();
            }
            BuiltPage page = build(r);
            page.doc->moveToThread(home);
            done(r.serial, std::move(page.doc), page.caretPlace);
        }
    }

    QThread* home;
    Done done;
    std::mutex mutex;
    std::condition_variable wake;
    std::optional<PreviewRequest> next;
    bool stopping = false;
    std::unique_ptr<QThread> thread;
};

PreviewDock::PreviewDock(PaneWidget& w, Prompts& prompts, QWidget* parent)
    : QDockWidget(resString(Str::PreviewTitle), parent), pane(w), page(new PreviewBrowser(this))
{
    setObjectName(QStringLiteral("PreviewDock"));
    setWidget(page);
    timer.setSingleShot(true);
    timer.setInterval(Delay);
    connect(&timer, &QTimer::timeout, this, &PreviewDock::refreshInBackground);
    connect(pane.document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if ((removed || added) && isVisible())
            timer.start();
    });
    connect(page, &QTextBrowser::anchorClicked, this,
            [&prompts](const QUrl& url) { prompts.openUrl(url.toString()); });
    renderer = std::make_unique<PreviewRenderer>(
        thread(), [this](quint64 serial, std::unique_ptr<QTextDocument> doc, double caretPlace) {
            // Dropped with the queued call if the dock is gone first.
            auto held = std::make_shared<std::unique_ptr<QTextDocument>>(std::move(doc));
            QMetaObject::invokeMethod(
                this, [this, serial, held, caretPlace] { present(serial, std::move(*held), caretPlace); },
                Qt::QueuedConnection);
        });
}

// The renderer goes first: its thread may still be posting to this dock.
PreviewDock::~PreviewDock()
{
    renderer.reset();
}

void PreviewDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    refresh();
}

PreviewRequest PreviewDock::request()
{
    timer.stop();
    if (folderOf)
        page->setBaseFolder(folderOf());
    const QtEditPane& ep = pane.pane();
    // The text is shared, not copied: the pane's next edit detaches its own.
    return {++serial, ep.text(), ep.selection().end, page->images(), qreal(page->viewport()->width())};
}

void PreviewDock::refresh()
{
    const PreviewRequest r = request();
    BuiltPage p = build(r);
    present(r.serial, std::move(p.doc), p.caretPlace);
}

void PreviewDock::refreshInBackground()
{
    renderer->post(request());
}

void PreviewDock::present(quint64 pageSerial, std::unique_ptr<QTextDocument> doc, double caretPlace)
{
    // A page older than the last one asked for is dropped: the newer one is on its way.
    if (pageSerial != serial)
        return;
    shownSerial = pageSerial;
    const QPointer<QTextDocument> old = page->document();
    doc->setParent(page);
    page->setDocument(doc.release());
    if (old)
        delete old.get();
    QScrollBar* bar = page->verticalScrollBar();
    // The caret's place goes to the middle of the view.
    const int span = bar->maximum() + bar->pageStep();
    bar->setValue(int(caretPlace * span) - bar->pageStep() / 2);
}
