#include "support/AppFixture.h"

#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "support/DialogAnswers.h"

#include <QTest>

namespace TestSupport {
AppFixture::AppFixture()
{
    if (!dir.isValid())
        qFatal("no temporary folder for the application: %s", qPrintable(dir.errorString()));
}

AppFixture::~AppFixture()
{
    end();
}

bool AppFixture::start(const QStringList& arguments)
{
    watchModals();
    app = std::make_unique<CKumorialApp>();
    app->InitInstance(arguments, dir.path());
    if (!QTest::qWaitForWindowExposed(app->mainFrame())) {
        QTest::qFail("the main window did not come up", __FILE__, __LINE__);
        return false;
    }
    return true;
}

void AppFixture::end()
{
    if (!app)
        return;
    if (app->mainFrame())
        app->mainFrame()->view()->modified = 0;
    app.reset();
}

CMainFrame* AppFixture::frame()
{
    return app->mainFrame();
}

CKumorialView* AppFixture::view()
{
    return app->mainFrame()->view();
}

QtEditPane& AppFixture::pane()
{
    return view()->paneWidget()->pane();
}
} // namespace TestSupport
