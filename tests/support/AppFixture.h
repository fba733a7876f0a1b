#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class CKumorialApp;
class CMainFrame;
class CKumorialView;
class QtEditPane;

// The application started as the program starts it, with a temporary folder of its own for
// the settings file, the template and the documents.
namespace TestSupport {
class AppFixture {
public:
    AppFixture();
    ~AppFixture();
    AppFixture(const AppFixture&) = delete;
    AppFixture& operator=(const AppFixture&) = delete;

    // Starts the application and waits for its window; false (with the test failed) when
    // the window does not come up.
    [[nodiscard]] bool start(const QStringList& arguments = {});
    // Ends it as at exit, with any changes discarded; the folder stays for the next start.
    void end();

    bool running() const { return app != nullptr; }
    CKumorialApp& application() { return *app; }
    CMainFrame* frame();
    CKumorialView* view();
    QtEditPane& pane();

    QString folder() const { return dir.path(); }
    QString inFolder(const QString& name) const { return dir.filePath(name); }
    QString iniPath() const { return inFolder(QStringLiteral("Kumorial.ini")); }

private:
    QTemporaryDir dir;
    std::unique_ptr<CKumorialApp> app;
};
} // namespace TestSupport
