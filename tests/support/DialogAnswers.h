#pragma once

#include <QMessageBox>
#include <QString>
#include <concepts>
#include <functional>
#include <memory>

class QFileDialog;

// Answers the modal boxes and dialogs that the code under test waits in.
//
// Each answer waits for a visible modal of its own type and acts on that one only; answers
// of one type act in the order they were given. Nothing is ever closed that no answer names.
// An answer whose dialog does not come up within the deadline, and a modal that stays up
// with no answer for it, stop the test run with a message naming them instead of leaving
// the test to hang.
namespace TestSupport {
inline constexpr int DialogDeadlineMs = 10000;

struct Answer {
    const QMetaObject* type = nullptr;
    std::function<void(QWidget*)> act;
    qint64 givenAtMs = 0;
    bool done = false;
};
using AnswerHandle = std::shared_ptr<const Answer>;

AnswerHandle answerModal(const QMetaObject& type, std::function<void(QWidget*)> act);
AnswerHandle answerNextMessageBox(QMessageBox::StandardButton button, QString* text);
AnswerHandle answerNextFileDialog(const QString& path, QString* proposed);

// Acts on the next modal of type T.
template <typename T> AnswerHandle answerNext(std::function<void(T*)> act)
{
    return answerModal(T::staticMetaObject, [act](QWidget* w) { act(static_cast<T*>(w)); });
}

// Presses `button` on the next message box, recording its text.
template <typename T>
requires std::same_as<T, QMessageBox> AnswerHandle answerNext(QMessageBox::StandardButton button,
                                                              QString* text = nullptr)
{
    return answerNextMessageBox(button, text);
}

// Goes to the folder of `path` in the next file dialog, types its name into the name field
// and presses the accept button, recording the name the dialog proposed.
template <typename T>
requires std::same_as<T, QFileDialog> AnswerHandle answerNext(const QString& path,
                                                              QString* proposed = nullptr)
{
    return answerNextFileDialog(path, proposed);
}

// Watches for modals that no answer expects, from now on (every answer also starts it).
void watchModals();
// Drops the answers not used yet and tells how many there were: a test's clean-up checks
// for none, so that no answer is left to act on the next test's dialogs.
int takePendingAnswers();
} // namespace TestSupport
