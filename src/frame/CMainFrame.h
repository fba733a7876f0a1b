#pragma once

#include "document/CKumorialDoc.h"
#include "framework/CommandRouter.h"
#include "view/FrameLink.h"

#include <QMainWindow>
#include <QRect>
#include <array>
#include <memory>

class ActionSet;
class CKumorialView;
class ProfileStore;
class QtPrompts;
class QLabel;

// The main window: menu bar, keys, status bar and the view in its client area.
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

    void setTransparency(int percent) override { transparency = percent; }
    void setUserFormatNames(const std::array<QString, 10>& names) override { userFormatNames = names; }
    const std::array<QString, 10>& formatNames() const { return userFormatNames; }

    int alwaysOnTop = 1;
    int transparency = 50;
    int translucent = 0;
    int windowLeft = 0, windowTop = 0, windowRight = 639, windowBottom = 319;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void registerFrameCommands();
    void writeFrameKeys();

    ProfileStore& profile;
    std::unique_ptr<QtPrompts> prompts;
    CKumorialDoc document;
    std::unique_ptr<CKumorialView> viewObject;
    CommandRouter commandRouter;
    CommandMap frameCommands;
    ActionSet* actionsObject = nullptr;
    QLabel* messagePane = nullptr;
    std::array<QString, 10> userFormatNames;
    QRect normalRect;
    bool placementCaptured = false;
};
