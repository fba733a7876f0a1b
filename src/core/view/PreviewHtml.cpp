#include "core/view/PreviewHtml.h"

#include "core/res/Strings.h"

#include <QRegularExpression>
#include <algorithm>

namespace {
bool startsTag(QStringView t, qsizetype i)
{
    if (t[i] != u'<' || i + 1 >= t.size())
        return false;
    const char16_t c = t[i + 1].unicode();
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'/' || c == u'!';
}

// The index of the ">" that closes the tag at `i`, or -1.
qsizetype tagEnd(QStringView t, qsizetype i)
{
    for (qsizetype j = i + 1; j < t.size(); ++j) {
        if (t[j] == u'>')
            return j;
        if (t[j] == u'<')
            return -1;
    }
    return -1;
}

QString alignedTag(QString tag)
{
    static const QRegularExpression block(QStringLiteral("^</?(p|div|h[1-6])\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression hasAlign(QStringLiteral("\\salign\\s*="),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bare(QStringLiteral("\\s(left|center|right|justify)(?=[\\s/>])"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (!block.match(tag).hasMatch() || hasAlign.match(tag).hasMatch())
        return tag;
    const QRegularExpressionMatch m = bare.match(tag);
    if (m.hasMatch())
        tag.replace(m.capturedStart(1), m.capturedLength(1),
                    QStringLiteral("align=\"%1\"").arg(m.captured(1).toLower()));
    return tag;
}

bool isBlockTag(const QString& tag)
{
    static const QRegularExpression block(
        QStringLiteral("^</?(p|div|h[1-6]|blockquote|center|pre|ul|ol|li|table|hr)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return block.match(tag).hasMatch();
}

bool isDivEnd(const QString& tag)
{
    static const QRegularExpression divEnd(QStringLiteral("^</div\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    return divEnd.match(tag).hasMatch();
}

// The start of the line that holds `p`.
qsizetype lineStart(QStringView t, qsizetype p)
{
    while (p > 0 && t[p - 1] != u'\n')
        --p;
    return p;
}
} // namespace

PreviewPage previewPage(QStringView t, qsizetype caret, qsizetype window)
{
    PreviewPage page;
    caret = std::clamp<qsizetype>(caret, 0, t.size());
    qsizetype from = 0, to = t.size();
    if (t.size() > window) {
        page.excerpt = true;
        from = std::clamp<qsizetype>(caret - window / 2, 0, t.size() - window);
        to = from + window;
        from = lineStart(t, from);
        while (to < t.size() && t[to - 1] != u'\n')
            ++to;
    }

    QString& html = page.html;
    html.reserve((to - from) + (to - from) / 8);
    if (page.excerpt)
        html += QStringLiteral("<p><i>%1</i></p>").arg(resString(Str::PreviewExcerpt).toHtmlEscaped());
    qsizetype lines = 0, caretLine = 0;
    for (qsizetype i = from; i < to; ++i) {
        if (i == caret)
            caretLine = lines;
        const QChar c = t[i];
        if (c == u'\n') {
            html += u"<br>\n";
            ++lines;
        } else if (c == u'\r') {
            // Part of a line break, or dropped by a save.
        } else if (c == u'<') {
            const qsizetype end = startsTag(t, i) ? tagEnd(t, i) : -1;
            if (end < 0) {
                html += u"&lt;";
                continue;
            }
            QString tag = t.sliced(i, end - i + 1).toString();
            if (caret > i && caret <= end)
                caretLine = lines;
            for (QChar& ch : tag)
                if (ch == u'\r' || ch == u'\n')
                    ch = u' ';
            // A browser ends the line at a block's edge anyway: the line break just before
            // the block adds no empty line there, but would in Qt's engine.
            if (isBlockTag(tag) && html.endsWith(u"<br>\n"))
                html.chop(5);
            // Qt's engine keeps what follows "</div>" in the div's block, alignment and all;
            // a browser starts a new block.
            const bool divEnd = isDivEnd(tag);
            html += alignedTag(std::move(tag));
            if (divEnd)
                html += u"<p style=\"margin:0\">";
            for (qsizetype j = i; j <= end; ++j)
                if (t[j] == u'\n' && ++lines && j < caret)
                    caretLine = lines;
            i = end;
        } else {
            html += c;
        }
    }
    if (caret >= to)
        caretLine = lines;
    page.caretPlace = lines ? double(caretLine) / double(lines) : 0.0;
    return page;
}
