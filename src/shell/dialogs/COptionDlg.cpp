#include "shell/dialogs/COptionDlg.h"

#include "core/res/ControlIds.h"

#include <QComboBox>
#include <algorithm>

COptionDlg::COptionDlg(QWidget* parent) : TemplateDialog(DialogTemplates::Options, parent)
{
    levelCombo = controlAs<QComboBox>(ControlIds::TransparencyList);
    bindText(ControlIds::WebPageEdit, webPageText);
    for (int percent = 10; percent <= 90; percent += 10)
        levelCombo->addItem(QStringLiteral("%1%").arg(percent));
    connect(levelCombo, &QComboBox::currentIndexChanged, this, [this](int index) { levelIndex = index; });
}

void COptionDlg::initDialog()
{
    levelCombo->setCurrentIndex(levelIndex);
}

int COptionDlg::indexOfTransparency(int percent)
{
    // Loading keeps the percentage at 10..90 in steps of ten; anything else still shows an item.
    return std::clamp(percent / 10 - 1, 0, 8);
}

int COptionDlg::transparencyOfIndex(int index)
{
    return std::clamp(index, 0, 8) * 10 + 10;
}
