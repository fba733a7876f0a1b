#include "shell/view/FindDialog.h"

#include "core/res/Strings.h"
#include "shell/dialogs/DialogBuilder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FindDialog::FindDialog(Kind kind, const FindReplace& preset, Handler handler, QWidget* parent)
    : QDialog(parent), dialogKind(kind), report(std::move(handler))
{
    setModal(false);
    setWindowTitle(resString(kind == Kind::Find ? Str::FindCaption : Str::ReplaceCaption));
    setObjectName(kind == Kind::Find ? QStringLiteral("findDialog") : QStringLiteral("replaceDialog"));

    auto* fields = new QGridLayout;
    findEdit = new QLineEdit(FindReplace::limited(preset.findText));
    findEdit->setObjectName(QStringLiteral("findWhat"));
    findEdit->setMaxLength(int(FindReplace::MaxTextLength));
    keepOnOneLine(findEdit);
    auto* findLabel = new QLabel(resString(Str::FindWhatLabel));
    findLabel->setBuddy(findEdit);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(findEdit, 0, 1);
    if (kind == Kind::Replace) {
        replaceEdit = new QLineEdit(FindReplace::limited(preset.replaceText));
        replaceEdit->setObjectName(QStringLiteral("replaceWith"));
        replaceEdit->setMaxLength(int(FindReplace::MaxTextLength));
        keepOnOneLine(replaceEdit);
        auto* replaceLabel = new QLabel(resString(Str::ReplaceWithLabel));
        replaceLabel->setBuddy(replaceEdit);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(replaceEdit, 1, 1);
    }

    matchCaseBox = new QCheckBox(resString(Str::MatchCaseLabel));
    matchCaseBox->setObjectName(QStringLiteral("matchCase"));
    matchCaseBox->setChecked(preset.matchCase);
    auto* options = new QHBoxLayout;
    options->addWidget(matchCaseBox, 0, Qt::AlignBottom);
    if (kind == Kind::Find) {
        auto* direction = new QGroupBox(resString(Str::DirectionLabel));
        upButton = new QRadioButton(resString(Str::DirectionUp));
        upButton->setObjectName(QStringLiteral("up"));
        downButton = new QRadioButton(resString(Str::DirectionDown));
        downButton->setObjectName(QStringLiteral("down"));
        (preset.searchDown ? downButton : upButton)->setChecked(true);
        auto* directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(upButton);
        directionLayout->addWidget(downButton);
        options->addWidget(direction);
    }
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();

    auto* buttons = new QVBoxLayout;
    findNextButton = new QPushButton(resString(Str::FindNextButton));
    findNextButton->setObjectName(QStringLiteral("findNext"));
    findNextButton->setDefault(true);
    buttons->addWidget(findNextButton);
    connect(findNextButton, &QPushButton::clicked, this, [this] { send(FindFlag::FindNext); });
    if (kind == Kind::Replace) {
        replaceButton = new QPushButton(resString(Str::ReplaceButton));
        replaceButton->setObjectName(QStringLiteral("replace"));
        replaceAllButton = new QPushButton(resString(Str::ReplaceAllButton));
        replaceAllButton->setObjectName(QStringLiteral("replaceAll"));
        buttons->addWidget(replaceButton);
        buttons->addWidget(replaceAllButton);
        connect(replaceButton, &QPushButton::clicked, this, [this] { send(FindFlag::Replace); });
        connect(replaceAllButton, &QPushButton::clicked, this, [this] { send(FindFlag::ReplaceAll); });
    }
    auto* cancel = new QPushButton(resString(Str::CancelButton));
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(findEdit, &QLineEdit::textChanged, this, &FindDialog::updateButtons);
    updateButtons();
    findEdit->selectAll();
    findEdit->setFocus();
}

void FindDialog::updateButtons()
{
    const bool any = !findEdit->text().isEmpty();
    for (QPushButton* b : {findNextButton, replaceButton, replaceAllButton})
        if (b)
            b->setEnabled(any);
}

void FindDialog::send(FindFlag request)
{
    if (findEdit->text().isEmpty())
        return;
    FindFlags flags = request;
    // The replace dialog has no direction: its requests run downward, so each search
    // starts behind the text just inserted.
    if (!downButton || downButton->isChecked())
        flags |= FindFlag::Down;
    if (matchCaseBox->isChecked())
        flags |= FindFlag::MatchCase;
    if (report)
        report({flags, findEdit->text(), replaceEdit ? replaceEdit->text() : QString()});
}

void FindDialog::done(int result)
{
    QDialog::done(result);
    if (closing)
        return;
    closing = true;
    if (report)
        report({FindFlag::DialogTerm, findEdit->text(), replaceEdit ? replaceEdit->text() : QString()});
    deleteLater();
}
