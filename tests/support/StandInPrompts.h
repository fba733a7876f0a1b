#pragma once

#include "core/base/Prompts.h"
#include "core/document/Encoding.h"
#include "core/res/Strings.h"

#include <QList>
#include <QStringList>

// Prompts with nobody there: every box answers OK, every file dialog is cancelled, the
// clipboard cannot be had. Tests, fuzzers and benchmarks override what they watch.
class NullPrompts : public Prompts {
public:
    Answer messageBox(const QString&, Buttons, Icon) override { return Answer::Ok; }
    std::optional<QString> openFileName() override { return {}; }
    std::optional<QString> saveFileName(const QString&) override { return {}; }
    QDateTime localTime() override { return {}; }
    bool setClipboardText(const QByteArray&) override { return false; }
    void openUrl(const QString&) override {}
    void setWindowTitle(const QString&) override {}
    QString windowTitle() const override { return {}; }
};

// Prompts with scripted answers: message boxes take the next answer (Cancel when the script
// has run out) and record what they showed; the dialogs return what the test set.
class ScriptedPrompts final : public Prompts {
public:
    QList<Answer> answers;
    QStringList shown;
    QList<std::optional<QString>> openAnswers;
    QList<std::optional<QString>> saveAnswers;
    QStringList proposedNames;
    int openDialogs = 0;
    QDateTime now{QDate(2026, 12, 8), QTime(9, 5, 42)};
    int clockReadings = 0;
    QString title = QStringLiteral("クモリアル");
    // The character-loss question: next choice (Cancel when run out) and what it listed.
    QList<LossChoice> lossChoices;
    QList<Encodings::UnrepresentableScan> lossShown;
    QStringList lossEncodings;

    Answer messageBox(const QString& text, Buttons, Icon) override
    {
        shown << text;
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
    std::optional<QString> openFileName() override
    {
        ++openDialogs;
        return openAnswers.isEmpty() ? std::nullopt : openAnswers.takeFirst();
    }
    std::optional<QString> saveFileName(const QString& proposedName) override
    {
        proposedNames << proposedName;
        return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.takeFirst();
    }
    QDateTime localTime() override
    {
        ++clockReadings;
        return now;
    }
    LossChoice askCharacterLoss(const Encodings::UnrepresentableScan& scan,
                                const QString& encodingName) override
    {
        lossShown << scan;
        lossEncodings << encodingName;
        return lossChoices.isEmpty() ? LossChoice::Cancel : lossChoices.takeFirst();
    }
    bool setClipboardText(const QByteArray&) override { return true; }
    void openUrl(const QString&) override {}
    void setWindowTitle(const QString& t) override { title = t; }
    QString windowTitle() const override { return title; }
};

// The string-table texts of message IDs, to compare with ScriptedPrompts::shown.
inline QStringList messageTexts(const QList<int>& ids)
{
    QStringList texts;
    for (int id : ids)
        texts << resString(id);
    return texts;
}
