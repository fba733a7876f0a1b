#include "support/DialogAnswers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <deque>

namespace TestSupport {
namespace {
QString describe(const QWidget* w)
{
    QString what = QString::fromLatin1(w->metaObject()->className());
    if (auto* box = qobject_cast<const QMessageBox*>(w))
        what += QStringLiteral(" \"%1\"").arg(box->text());
    else if (!w->windowTitle().isEmpty())
        what += QStringLiteral(" \"%1\"").arg(w->windowTitle());
    return what;
}

[[noreturn]] void stop(const QString& message)
{
    qFatal("%s", qPrintable(message));
}

// One poller for the whole process: it hands each modal to the first answer of its type and
// keeps the deadlines. Actions run from a zero timer of their own, so that a modal they open
// in turn is watched like any other.
class ModalWatch {
public:
    static ModalWatch& instance()
    {
        static ModalWatch watch;
        return watch;
    }

    void start()
    {
        if (!timer) {
            timer = new QTimer(QCoreApplication::instance());
            timer->setInterval(10);
            QObject::connect(timer, &QTimer::timeout, [this] { poll(); });
            clock.start();
        }
        timer->start();
    }

    void add(const std::shared_ptr<Answer>& answer)
    {
        start();
        answer->givenAtMs = clock.elapsed();
        queue.push_back(answer);
    }

    int takePending()
    {
        const int n = int(queue.size());
        queue.clear();
        return n;
    }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && !modal->isVisible())
            modal = nullptr;
        if (modal && modal != lastActedOn) {
            for (auto it = queue.begin(); it != queue.end(); ++it) {
                if (!modal->metaObject()->inherits((*it)->type))
                    continue;
                std::shared_ptr<Answer> answer = *it;
                queue.erase(it);
                lastActedOn = modal;
                unansweredSince.invalidate();
                QPointer<QWidget> target = modal;
                QTimer::singleShot(0, modal, [answer, target] {
                    if (!target)
                        stop(QStringLiteral("the %1 to answer went away before the answer")
                                 .arg(QString::fromLatin1(answer->type->className())));
                    answer->done = true;
                    answer->act(target);
                });
                return;
            }
        }
        if (modal) {
            if (!unansweredSince.isValid() || unansweredModal != modal) {
                unansweredModal = modal;
                unansweredSince.start();
            } else if (unansweredSince.hasExpired(DialogDeadlineMs)) {
                stop(QStringLiteral("%1 stayed open for %2 s with no answer for it%3")
                         .arg(describe(modal))
                         .arg(DialogDeadlineMs / 1000)
                         .arg(modal == lastActedOn
                                  ? QStringLiteral(" (it was answered once and did not close)")
                                  : QString()));
            }
        } else {
            unansweredSince.invalidate();
        }
        for (const std::shared_ptr<Answer>& answer : queue)
            if (clock.elapsed() - answer->givenAtMs > DialogDeadlineMs)
                stop(QStringLiteral("no %1 came up within %2 s for its answer%3")
                         .arg(QString::fromLatin1(answer->type->className()))
                         .arg(DialogDeadlineMs / 1000)
                         .arg(modal ? QStringLiteral("; %1 is open instead").arg(describe(modal))
                                    : QString()));
    }

    QTimer* timer = nullptr;
    QElapsedTimer clock;
    std::deque<std::shared_ptr<Answer>> queue;
    QPointer<QWidget> lastActedOn;
    QPointer<QWidget> unansweredModal;
    QElapsedTimer unansweredSince;
};
} // namespace

AnswerHandle answerModal(const QMetaObject& type, std::function<void(QWidget*)> act)
{
    auto answer = std::make_shared<Answer>();
    answer->type = &type;
    answer->act = std::move(act);
    ModalWatch::instance().add(answer);
    return answer;
}

AnswerHandle answerNextMessageBox(QMessageBox::StandardButton button, QString* text)
{
    return answerModal(QMessageBox::staticMetaObject, [button, text](QWidget* w) {
        auto* box = static_cast<QMessageBox*>(w);
        if (text)
            *text = box->text();
        QAbstractButton* b = box->button(button);
        if (!b)
            stop(QStringLiteral("%1 has no button %2 to press").arg(describe(box)).arg(int(button)));
        b->click();
    });
}

AnswerHandle answerNextFileDialog(const QString& path, QString* proposed)
{
    return answerModal(QFileDialog::staticMetaObject, [path, proposed](QWidget* w) {
        auto* dialog = static_cast<QFileDialog*>(w);
        if (proposed)
            *proposed = dialog->selectedFiles().value(0);
        auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!nameField)
            stop(QStringLiteral("%1 has no name field").arg(describe(dialog)));
        // As a user does it: go to the folder, type the name, press Open or Save. Setting
        // the field itself, unlike selectFile(), works whether or not it has the focus.
        const QFileInfo info(path);
        dialog->setDirectory(info.absolutePath());
        nameField->setText(info.fileName());
        static_cast<QDialog*>(dialog)->accept();
    });
}

void watchModals()
{
    ModalWatch::instance().start();
}

int takePendingAnswers()
{
    return ModalWatch::instance().takePending();
}
} // namespace TestSupport
