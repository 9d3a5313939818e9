#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>

// Converts Unicode text to Windows-1251, the code page of question databases.
// Typographic characters that the code page lacks are replaced by their usual
// equivalents (a non-breaking hyphen by "-", "≤" by "<=", a thin space by a
// space …); every replacement is counted so the caller can report it. A
// character with no sensible equivalent is not dropped: the conversion fails
// and names it.
class Windows1251Text
{
public:
    // The encoded text; nullopt when a character has no equivalent, which
    // is then in unmappable().
    std::optional<QByteArray> encode(const QString &text);

    // The first character of the last failed encode(), as "U+XXXX 'c'".
    QString unmappable() const { return m_unmappable; }

    // Replacements made so far: "U+2264 '≤' -> '<='" and how often.
    const QMap<QString, int> &replacements() const { return m_replacements; }
    int replacementCount() const;

    // The equivalent of one character the code page lacks, from the table
    // or by its compatibility decomposition without accents; nullopt when
    // there is none.
    static std::optional<QString> equivalent(char32_t character);

private:
    QMap<QString, int> m_replacements;
    QString m_unmappable;
};
