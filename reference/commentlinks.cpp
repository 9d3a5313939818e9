#include "commentlinks.h"

#include <QRegularExpression>

namespace CommentLinks {

namespace {

// Hand-written rather than a grammar library: the forms are few (a keyword
// in any case, then numbers joined by commas, «и», «или» or a dash) and a
// regular expression per step keeps each of them readable.

// «знак», «знаки», «знаком», «табличка», «разметка», «разметкой» …: the
// stem and at most three letters of ending, so «знакомый» is not one. A
// line or a triangle with a number of its own («линию 1.11», «стоп-линия
// 1.12», «треугольник 1.20») is a marking too.
const QRegularExpression &keyword()
{
    static const QRegularExpression pattern(
        QStringLiteral("(?<!\\p{L})(знак|табличк|разметк|лини|треугольник)\\p{L}{0,3}(?!\\p{L})"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

// What may stand between the keyword and its first number: an adjective or
// two («знак дополнительной информации 8.2.1», «линии разметки 1.1») or a
// title in quotes («знака «Уступите дорогу» 2.4»), but no word that brings
// a number of its own kind (пункт, статья, часть, раздел, глава, приложение).
const QRegularExpression &gapWord()
{
    static const QRegularExpression pattern(
        QStringLiteral(
            "\\s*(?:«[^«»]{0,80}»|\\(|(?!(?:пункт\\p{L}*|п|стать\\p{L}*|ст|част\\p{L}*|ч|"
            "раздел\\p{L}*|глав\\p{L}*|приложени\\p{L}*)(?!\\p{L}))\\p{L}+)\\s*"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

const QRegularExpression &number()
{
    static const QRegularExpression pattern(
        QStringLiteral("\\s*(\\d{1,2}(?:\\.\\d{1,2}){1,3})(?![\\d\\p{L}]|\\.\\d)"),
        QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

// After a number: its title in quotes or a closing bracket, then what joins
// it to the next number. The dash joins a range.
const QRegularExpression &joiner()
{
    static const QRegularExpression pattern(
        QStringLiteral("(?:\\s*«[^«»]{0,80}»)?\\)?\\s*(?:(,|;|и|или|[-–—])(?!\\p{L}))"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

QRegularExpressionMatch matchAt(const QRegularExpression &pattern, const QString &text,
                                qsizetype offset)
{
    return pattern.match(text, offset, QRegularExpression::NormalMatch,
                         QRegularExpression::AnchorAtOffsetMatchOption);
}

// The numbers strictly between two of the same prefix: 3.27–3.30 gives
// 3.28 and 3.29. Nothing for ends that do not fit or a range too long to be
// meant.
QStringList between(const QString &from, const QString &to)
{
    const qsizetype fromDot = from.lastIndexOf(u'.');
    const qsizetype toDot = to.lastIndexOf(u'.');
    if (from.left(fromDot) != to.left(toDot))
        return {};
    const int first = from.mid(fromDot + 1).toInt();
    const int last = to.mid(toDot + 1).toInt();
    QStringList numbers;
    if (last - first > 30)
        return numbers;
    for (int n = first + 1; n < last; ++n)
        numbers << from.left(fromDot + 1) + QString::number(n);
    return numbers;
}

} // namespace

QList<CommentLink> find(const QString &text, const Reference *reference)
{
    QList<CommentLink> found;
    qsizetype offset = 0;
    while (true) {
        const QRegularExpressionMatch key = keyword().match(text, offset);
        if (!key.hasMatch())
            break;
        offset = key.capturedEnd();
        const QString stem = key.captured(1).toLower();
        const ReferenceKind kind =
            stem == u"знак" || stem == u"табличк" ? ReferenceKind::Sign : ReferenceKind::Marking;
        qsizetype at = offset;
        QRegularExpressionMatch first = matchAt(number(), text, at);
        for (int gaps = 0; !first.hasMatch() && gaps < 2; ++gaps) {
            const QRegularExpressionMatch gap = matchAt(gapWord(), text, at);
            if (!gap.hasMatch() || keyword().match(gap.captured()).hasMatch())
                break;
            at = gap.capturedEnd();
            first = matchAt(number(), text, at);
        }
        if (!first.hasMatch())
            continue;

        QList<CommentLink> mentioned{
            {kind, first.captured(1), first.capturedStart(1), first.capturedLength(1)}};
        at = first.capturedEnd();
        while (true) {
            const QRegularExpressionMatch join = matchAt(joiner(), text, at);
            if (!join.hasMatch())
                break;
            const QRegularExpressionMatch next = matchAt(number(), text, join.capturedEnd());
            if (!next.hasMatch())
                break;
            const QString joinedBy = join.captured(1);
            if (joinedBy == u"-" || joinedBy == u"–" || joinedBy == u"—") {
                for (const QString &inside : between(mentioned.last().number, next.captured(1)))
                    mentioned.append(CommentLink{kind, inside, next.capturedStart(1), 0});
            }
            mentioned.append(
                CommentLink{kind, next.captured(1), next.capturedStart(1), next.capturedLength(1)});
            at = next.capturedEnd();
        }
        offset = at;
        for (const CommentLink &link : std::as_const(mentioned)) {
            if (!reference || reference->find(link.kind, link.number))
                found.append(link);
        }
    }
    return found;
}

QString toHtml(const QString &text, const QList<CommentLink> &links)
{
    QString html;
    qsizetype written = 0;
    for (const CommentLink &link : links) {
        if (link.length == 0 || link.start < written)
            continue;
        html += text.mid(written, link.start - written).toHtmlEscaped();
        html += QStringLiteral("<a href=\"%1\">%2</a>")
                    .arg(linkUrl(link.kind, link.number).toString(),
                         text.mid(link.start, link.length).toHtmlEscaped());
        written = link.start + link.length;
    }
    html += text.mid(written).toHtmlEscaped();
    html.replace(u'\n', QStringLiteral("<br>"));
    return html;
}

QUrl linkUrl(ReferenceKind kind, const QString &number)
{
    QUrl url;
    url.setScheme(QStringLiteral("zeltrak-reference"));
    url.setPath(
        (kind == ReferenceKind::Sign ? QStringLiteral("sign/") : QStringLiteral("marking/")) +
        number);
    return url;
}

std::optional<CommentLink> fromUrl(const QUrl &url)
{
    if (url.scheme() != u"zeltrak-reference")
        return std::nullopt;
    const QString path = url.path();
    const qsizetype slash = path.indexOf(u'/');
    const QString kind = path.left(slash);
    const QString number = path.mid(slash + 1);
    if (slash < 0 || number.isEmpty())
        return std::nullopt;
    if (kind == u"sign")
        return CommentLink{ReferenceKind::Sign, number, 0, 0};
    if (kind == u"marking")
        return CommentLink{ReferenceKind::Marking, number, 0, 0};
    return std::nullopt;
}

} // namespace CommentLinks
