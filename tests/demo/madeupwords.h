#pragma once

#include <QString>

// Three made-up words that tell made-up question n from every other one, so
// that test questions are not taken for near duplicates of each other (the
// demo drops questions that differ only by a number, such as a mass in
// tonnes).
inline QString madeUpWords(int n)
{
    static const char16_t *syllables[] = {u"ба", u"ве", u"гу", u"до", u"жи",
                                          u"зо", u"ки", u"ла", u"му", u"но"};
    const auto s = [](int digit) { return QString::fromUtf16(syllables[digit % 10]); };
    const int c = n % 10, b = n / 10 % 10, a = n / 100 % 10;
    // Each word's first five letters hold a different pair of digits, so two
    // numbers share at most one word.
    return QStringLiteral("т") + s(c) + s(b) + s(a) + QStringLiteral(" п") + s(a) + s(c) +
           QStringLiteral(" с") + s(b) + s(a);
}
