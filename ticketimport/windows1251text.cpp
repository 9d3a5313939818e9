#include "windows1251text.h"

#include <QHash>
#include <QStringEncoder>

namespace {

bool encodable(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    // encode() converts lazily: the result must be taken for errors to show.
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && !bytes.isNull();
}

QString describe(char32_t character)
{
    return QStringLiteral("U+%1 '%2'")
        .arg(QString::number(uint(character), 16).toUpper().rightJustified(4, u'0'),
             QString::fromUcs4(&character, 1));
}

// Characters that Windows-1251 lacks and their equivalents in it. Only
// what has an accepted plain form is here; anything else found in a ticket
// is an error for its author to look at.
const QHash<char32_t, QString> &table()
{
    static const QHash<char32_t, QString> replacements = {
        // Dashes and hyphens (the code page has "-", "–" and "—").
        {0x2010, QStringLiteral("-")},      // hyphen
        {0x2011, QStringLiteral("-")},      // non-breaking hyphen
        {0x2012, QStringLiteral("\u2013")}, // figure dash -> en dash
        {0x2015, QStringLiteral("\u2014")}, // horizontal bar -> em dash
        {0x2043, QStringLiteral("-")},      // hyphen bullet
        {0x2212, QStringLiteral("-")},      // minus sign
        // Spaces: every width becomes a plain space, the narrow no-break
        // space the no-break space the code page has.
        {0x2002, QStringLiteral(" ")},
        {0x2003, QStringLiteral(" ")},
        {0x2007, QStringLiteral("\u00A0")}, // figure space
        {0x2009, QStringLiteral(" ")},      // thin space
        {0x200A, QStringLiteral(" ")},      // hair space
        {0x202F, QStringLiteral("\u00A0")}, // narrow no-break space
        {0x3000, QStringLiteral(" ")},
        // Invisible marks that carry no text.
        {0x200B, QString()}, // zero-width space
        {0x200C, QString()},
        {0x200D, QString()},
        {0x2060, QString()}, // word joiner
        {0xFEFF, QString()}, // byte order mark
        {0x00AD, QString()}, // soft hyphen
        {0x0301, QString()}, // combining acute: stress marks in Russian words
        // Comparison and arithmetic.
        {0x2264, QStringLiteral("<=")},
        {0x2265, QStringLiteral(">=")},
        {0x2260, QStringLiteral("<>")},
        {0x2248, QStringLiteral("~")},
        {0x00D7, QStringLiteral("x")},
        {0x00F7, QStringLiteral(":")},
        {0x2044, QStringLiteral("/")}, // fraction slash
        // Quotes and primes.
        {0x2032, QStringLiteral("'")},
        {0x2033, QStringLiteral("\"")},
        {0x201B, QStringLiteral("\u2018")},
        {0x201F, QStringLiteral("\u201C")},
        // Arrows.
        {0x2190, QStringLiteral("<-")},
        {0x2192, QStringLiteral("->")},
        {0x2194, QStringLiteral("<->")},
        // Bullets.
        {0x25CF, QStringLiteral("\u2022")},
        {0x25E6, QStringLiteral("\u2022")},
        {0x2023, QStringLiteral("\u2022")},
    };
    return replacements;
}

} // namespace

std::optional<QString> Windows1251Text::equivalent(char32_t character)
{
    const auto found = table().constFind(character);
    if (found != table().constEnd())
        return *found;
    // Otherwise the compatibility decomposition without its combining marks,
    // when that is in the code page: "é" -> "e", "²" -> "2", "ﬁ" -> "fi".
    const QString decomposed =
        QString::fromUcs4(&character, 1).normalized(QString::NormalizationForm_KD);
    QString plain;
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            plain.append(c);
    }
    if (!plain.isEmpty() && plain != QString::fromUcs4(&character, 1) && encodable(plain))
        return plain;
    return std::nullopt;
}

std::optional<QByteArray> Windows1251Text::encode(const QString &text)
{
    m_unmappable.clear();
    if (encodable(text)) {
        QStringEncoder encoder("windows-1251");
        return QByteArray(encoder.encode(text));
    }
    QString mapped;
    mapped.reserve(text.size());
    for (const char32_t character : text.toUcs4()) {
        const QString one = QString::fromUcs4(&character, 1);
        if (encodable(one)) {
            mapped.append(one);
            continue;
        }
        const std::optional<QString> replacement = equivalent(character);
        if (!replacement) {
            m_unmappable = describe(character);
            return std::nullopt;
        }
        mapped.append(*replacement);
        ++m_replacements[QStringLiteral("%1 -> '%2'").arg(describe(character), *replacement)];
    }
    QStringEncoder encoder("windows-1251");
    return QByteArray(encoder.encode(mapped));
}

int Windows1251Text::replacementCount() const
{
    int count = 0;
    for (const int n : m_replacements)
        count += n;
    return count;
}
