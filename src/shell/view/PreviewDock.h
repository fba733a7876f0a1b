#pragma once

#include <QDockWidget>
#include <QImage>
#include <QTextBrowser>
#include <QTimer>
#include <functional>

class PaneWidget;
class Prompts;

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
    QImage placeholder(const QString& address) const;

private:
    QString localPath(const QUrl& name) const;
    QString baseFolder;
};

// The dockable preview of the entry. It follows the text once typing has paused for
// Delay, and only while it is shown.
class PreviewDock : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int Delay = 150;

    PreviewDock(PaneWidget& pane, Prompts& prompts, QWidget* parent);

    PreviewBrowser* browser() const { return page; }
    // Asked at each refresh: the folder of the document, where relative image paths start.
    void setFolderSource(std::function<QString()> source) { folderOf = std::move(source); }
    // Renders the pane's text now and scrolls to the caret's place.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    PaneWidget& pane;
    PreviewBrowser* page;
    QTimer timer;
    std::function<QString()> folderOf;
};
