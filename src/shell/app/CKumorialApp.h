#pragma once

#include "core/document/Recovery.h"
#include "core/settings/ProfileStore.h"
#include "shell/framework/CommandRouter.h"

#include <QString>
#include <QStringList>
#include <memory>

class CMainFrame;

// The application: points the settings at Kumorial.ini, builds the main window and its
// view, and tears them down so that every setting is written once at exit.
class CKumorialApp {
public:
    CKumorialApp();
    ~CKumorialApp();

    // Start-up: the main window, its view and the first document. Tests name the settings folder.
    void InitInstance(const QStringList& arguments, const QString& folder = settingsFolder());
    // After the message loop: destroys the window, writing the settings in one go.
    void ExitInstance();

    ProfileStore& profile() { return settings; }
    CMainFrame* mainFrame() const { return frame.get(); }
    const CommandMap& commands() const { return commandMap; }

    // The folder that holds Kumorial.ini and Kumorial.tmp.
    static QString settingsFolder();
    // Beside the program when that folder already holds Kumorial.ini or can be written;
    // otherwise the user's configuration folder, so that an installed copy keeps its
    // settings.
    static QString settingsFolderFor(const QString& programFolder, const QString& userFolder);

    // The maker's page: the README installed with the program.
    static QString makerPage();

    // The recovery copy's timing from the section Recovery, in seconds, kept within reason.
    static RecoverySchedule::Timing recoveryTiming(const ProfileStore& profile);

    void About();
    void OpenDonationPage();

private:
    void registerApplicationCommands();

    ProfileStore settings;
    CommandMap commandMap;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<RecoveryStore> recovery;
};
