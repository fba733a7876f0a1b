#pragma once

#include <QDockWidget>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <memory>

class PaneWidget;
class Prompts;
class PreviewRenderer;
struct PreviewRequest;

// The images of the preview, as values so that a page can be built off the UI thread.
struct PreviewImages {
    QString baseFolder; // where relative image paths start
    QFont font;
    QPalette palette;

    // A local image file as it is, anything else as a placeholder.
    QImage image(const QUrl& name) const;
    // What stands in for an image that is not shown: a box naming its address.
    QImage placeholder(const QString& address) const;

private:
    QString localPath(const QUrl& name) const;
};

// Qt's rich-text engine, with nothing fetched: a local image file is shown, any other
// image is drawn as a placeholder naming its address, and no other resource is loaded.
class PreviewBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit PreviewBrowser(QWidget* parent = nullptr);
    // Relative image paths are taken from here (the document's folder).
    void setBaseFolder(const QString& folder) { baseFolder = folder; }

    QVariant loadResource(int type, const QUrl& name) override;
    // What stands in for an image that is not shown: a box naming its address.
    QImage placeholder(const QString& address) const { return images().placeholder(address); }
    PreviewImages images() const { return {baseFolder, font(), palette()}; }

private:
    QString baseFolder;
};

// The dockable preview of the entry. It follows the text once typing has paused for
// Delay, and only while it is shown. The page is then built and laid out on a worker
// thread, so a keystroke typed meanwhile does not wait for it.
class PreviewDock : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int Delay = 150;

    PreviewDock(PaneWidget& pane, Prompts& prompts, QWidget* parent);
    ~PreviewDock() override;

    PreviewBrowser* browser() const { return page; }
    // Asked at each refresh: the folder of the document, where relative image paths start.
    void setFolderSource(std::function<QString()> source) { folderOf = std::move(source); }
    // Renders the pane's text now and scrolls to the caret's place.
    void refresh();
    // Renders the pane's text on the worker thread and shows it when done, unless a newer
    // page was asked for meanwhile.
    void refreshInBackground();
    // True while the page last asked for is still being built.
    bool building() const { return shownSerial != serial; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    PreviewRequest request();
    void present(quint64 serial, std::unique_ptr<QTextDocument> doc, double caretPlace);

    PaneWidget& pane;
    PreviewBrowser* page;
    std::unique_ptr<PreviewRenderer> renderer;
    quint64 serial = 0;
    quint64 shownSerial = 0;
    QTimer timer;
    std::function<QString()> folderOf;
};
