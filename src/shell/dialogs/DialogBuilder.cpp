#include "shell/dialogs/DialogBuilder.h"

#include "core/res/Strings.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {
const DialogTemplate& templateOrEmpty(int id)
{
    static const DialogTemplate empty;
    const DialogTemplate* t = dialogTemplate(id);
    return t ? *t : empty;
}

QFont templateFont(const DialogTemplate& t)
{
    QFont font(t.fontFace);
    font.setPointSize(t.fontPointSize);
    return font;
}

// The platform's base units: the font's height, and the average width of the Latin
// letters rounded to the nearest pixel.
QSize baseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((letters / 26 + 1) / 2, metrics.height());
}

QWidget* createControl(const DialogControl& c, QWidget* parent)
{
    const QString text = c.stringId ? resString(c.stringId) : c.text;
    switch (c.kind) {
    case ControlKind::PushButton: {
        auto* b = new QPushButton(text, parent);
        b->setDefault(c.has(ControlStyle::DefaultButton));
        return b;
    }
    case ControlKind::Static: {
        auto* l = new QLabel(text, parent);
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignTop | (c.has(ControlStyle::Center) ? Qt::AlignHCenter : Qt::AlignLeft));
        if (c.has(ControlStyle::Sunken))
            l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return l;
    }
    case ControlKind::Icon: {
        auto* l = new QLabel(parent);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    }
    case ControlKind::Edit: {
        auto* e = new QLineEdit(text, parent);
        e->setFrame(c.has(ControlStyle::Border));
        keepOnOneLine(e);
        return e;
    }
    case ControlKind::DropDownList: {
        auto* box = new QComboBox(parent);
        box->setEditable(false);
        return box;
    }
    }
    return nullptr;
}
} // namespace

void keepOnOneLine(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        const QString line = singleLineText(text);
        if (line == text)
            return;
        const int cursor = singleLineText(text.left(edit->cursorPosition())).size();
        edit->setText(line);
        edit->setCursorPosition(cursor);
    });
}

TemplateDialog::TemplateDialog(int templateId, QWidget* parent, const QFont* font)
    : QDialog(parent), data(templateOrEmpty(templateId))
{
    const QFont dialogFont = font ? *font : templateFont(data);
    setFont(dialogFont);
    base = baseUnitsOf(dialogFont);
    setWindowTitle(data.caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(
        dialogUnitsToPixels(QRect(0, 0, data.width, data.height), base.width(), base.height()).size());

    QWidget* previousStop = nullptr;
    for (const DialogControl& c : data.controls) {
        QWidget* w = createControl(c, this);
        QRect r = dialogUnitsToPixels(c.rect, base.width(), base.height());
        // A drop-down list's height is its dropped-down height; closed, it is as high as
        // its font needs.
        if (c.kind == ControlKind::DropDownList)
            r.setHeight(w->sizeHint().height());
        w->setGeometry(r);
        w->setVisible(c.has(ControlStyle::Visible));
        if (c.has(ControlStyle::TabStop)) {
            w->setFocusPolicy(Qt::StrongFocus);
            if (previousStop)
                QWidget::setTabOrder(previousStop, w);
            previousStop = w;
        } else if (c.kind == ControlKind::PushButton) {
            w->setFocusPolicy(Qt::ClickFocus);
        }
        if (c.kind == ControlKind::Icon && !iconControl)
            iconControl = w;
        if (c.kind == ControlKind::PushButton &&
            (c.id == DialogTemplates::IdOk || c.id == DialogTemplates::IdCancel)) {
            auto* b = static_cast<QPushButton*>(w);
            if (c.id == DialogTemplates::IdOk)
                connect(b, &QPushButton::clicked, this, &TemplateDialog::accept);
            else
                connect(b, &QPushButton::clicked, this, &TemplateDialog::reject);
        }
        if (c.id != DialogTemplates::NoId)
            byId.emplace(c.id, w);
        w->installEventFilter(this);
    }
    installEventFilter(this);
}

QWidget* TemplateDialog::control(int id) const
{
    const auto it = byId.find(id);
    return it == byId.end() ? nullptr : it->second;
}

void TemplateDialog::setControlText(int id, const QString& text)
{
    QWidget* w = control(id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
        // A text put into an edit shows from its beginning.
        e->setCursorPosition(0);
    } else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else if (auto* b = qobject_cast<QPushButton*>(w))
        b->setText(text);
}

QString TemplateDialog::controlText(int id) const
{
    QWidget* w = control(id);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QPushButton*>(w))
        return b->text();
    return {};
}

void TemplateDialog::makeLink(int id, std::function<void()> onClick, const QFont* font)
{
    auto* l = controlAs<QLabel>(id);
    if (!l)
        return;
    QFont linkFont = font ? *font : l->font();
    linkFont.setUnderline(true);
    l->setFont(linkFont);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    l->setPalette(palette);
    l->setCursor(Qt::PointingHandCursor);
    links[l] = std::move(onClick);
}

void TemplateDialog::setIcon(const QIcon& icon)
{
    if (auto* l = qobject_cast<QLabel*>(iconControl))
        l->setPixmap(icon.pixmap(32, 32));
}

void TemplateDialog::bindText(int id, QString& field)
{
    // Otherwise OK would quietly write "" into the field.
    QWidget* w = control(id);
    if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QLabel*>(w) && !qobject_cast<QPushButton*>(w))
        qFatal("dialog %d has no text control %d to bind a field to", data.id, id);
    textFields[id] = &field;
}

void TemplateDialog::writeFields()
{
    for (const auto& [id, field] : textFields)
        setControlText(id, *field);
}

void TemplateDialog::readFields()
{
    for (const auto& [id, field] : textFields)
        *field = controlText(id);
}

void TemplateDialog::accept()
{
    readFields();
    QDialog::accept();
}

bool TemplateDialog::preTranslateKey(QKeyEvent*)
{
    return false;
}

void TemplateDialog::showEvent(QShowEvent* event)
{
    if (!initialised) {
        initialised = true;
        writeFields();
        initDialog();
        if (QWidget* w = control(data.initialFocus))
            w->setFocus(Qt::OtherFocusReason);
    }
    QDialog::showEvent(event);
}

bool TemplateDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        // A key a control ignores travels on to the dialog: look at each key once.
        auto* key = static_cast<QKeyEvent*>(event);
        const KeySeen seen{key, key->timestamp(), key->key()};
        if (watched == this && seen == lastKey) {
            lastKey = {};
        } else {
            lastKey = watched == this ? KeySeen{} : seen;
            if (preTranslateKey(key))
                return true;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const auto it = links.find(static_cast<QWidget*>(watched));
        if (it != links.end() && it->second)
            it->second();
    }
    return QDialog::eventFilter(watched, event);
}
