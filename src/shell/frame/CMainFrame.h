#pragma once

#include "core/format/FormatTable.h"
#include "core/frame/Placement.h"
#include "shell/framework/CommandRouter.h"
#include "shell/view/FrameLink.h"

#include <QMainWindow>
#include <QMargins>
#include <QRect>
#include <array>
#include <memory>

class ActionSet;
class CKumorialView;
class CountsPane;
class LiveCounts;
class PreviewDock;
class LockIndicators;
class ProfileStore;
class Prompts;
class QtPrompts;
class QLabel;
class QToolBar;

// The main window: menu bar, keys, three toolbars, status bar and the view in its client
// area; its placement, always-on-top and translucency.
class CMainFrame : public QMainWindow, public FrameLink {
    Q_OBJECT
public:
    CMainFrame(ProfileStore& profile, const CommandMap* applicationCommands);
    // Destroys the view (which saves its settings), then writes the frame's keys.
    ~CMainFrame() override;

    // Creates the view and runs its initial update with the command-line arguments.
    void createView(const QStringList& arguments);

    CKumorialView* view() const { return viewObject.get(); }
    ActionSet* actionSet() const { return actionsObject; }
    const CommandRouter& router() const { return commandRouter; }
    Prompts& prompts() const;

    void setTransparency(int percent) override { transparency = percent; }
    void setUserFormatNames(const std::array<QString, 10>& names) override;
    void formatsChanged() override;
    const std::array<QString, 10>& formatNames() const { return userFormatNames; }

    QToolBar* mainToolBar = nullptr;
    QToolBar* formatToolBar = nullptr;
    QToolBar* userToolBar = nullptr;
    QList<QToolBar*> toolBars() const { return {mainToolBar, formatToolBar, userToolBar}; }

    int alwaysOnTop = 1;
    int transparency = FormatTable::DefaultTransparency;
    int translucent = 0;
    int toolBarsVisible = 1;
    Placement::Edges windowEdges; // as stored
    // The opacity last applied, on the 0..255 scale.
    int appliedAlpha = 255;

    void ToggleToolBars();
    void ToggleAlwaysOnTop();
    void ToggleTranslucency();
    void SaveBarState();

    // Created when first shown.
    PreviewDock* preview() const { return previewDock; }
    void TogglePreview();
    CountsPane* countsPane() const { return countsLabel; }
    LiveCounts* counts() const { return liveCounts.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void registerFrameCommands();
    void createBars();
    void createStatusBar();
    void placeWindow();
    void fitFrameSize();
    void updateLockPanes();
    void writeFrameKeys();
    PreviewDock* ensurePreview();
    void restorePreview();
    void capturePreview();
    void writePreviewKeys();

    ProfileStore& profile;
    std::unique_ptr<QtPrompts> promptsObject;
    std::unique_ptr<CKumorialView> viewObject;
    CommandRouter commandRouter;
    CommandMap frameCommands;
    ActionSet* actionsObject = nullptr;
    QLabel* messagePane = nullptr;
    // The document's encoding and line breaks.
    QLabel* encodingPane = nullptr;
    QLabel* lineBreakPane = nullptr;
    std::array<QLabel*, 4> lockPanes{};
    std::unique_ptr<LockIndicators> locks;
    CountsPane* countsLabel = nullptr;
    std::unique_ptr<LiveCounts> liveCounts;
    PreviewDock* previewDock = nullptr;
    // The preview's visibility and place, taken while the window still shows.
    struct {
        bool captured = false;
        int visible = 0, area = 0, floating = 0;
        QRect geometry;
    } previewPlace;
    std::array<QString, 10> userFormatNames;
    QRect normalRect;
    QMargins frameMargins;
    QSize wantedFrameSize;
    bool placementCaptured = false;
};
