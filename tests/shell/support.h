#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QTimer>
#include <functional>

// Answers the next modal box or dialog while the code under test waits in it.
// `act` gets the modal widget; for message boxes, `clickMessageBox` presses a button.
namespace TestSupport {
inline void whenModal(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

// Presses `button` on the next message box and records its text.
inline void answerMessageBox(QMessageBox::StandardButton button, QString* text = nullptr)
{
    whenModal([button, text](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            w->close();
            return;
        }
        if (text)
            *text = box->text();
        if (QAbstractButton* b = box->button(button))
            b->click();
        else
            box->reject();
    });
}
} // namespace TestSupport
