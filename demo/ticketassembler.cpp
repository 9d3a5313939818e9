#include "ticketassembler.h"

#include "demorandom.h"
#include "linttext.h"
#include "ticketbalance.h"

#include <QCryptographicHash>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>

namespace {

// Share of each generated kind among the picture questions, as in printed
// tickets: signs and intersections most, the rest less.
double weightOf(const QString &group)
{
    static const QHash<QString, double> weights = {
        {QStringLiteral("знаки"), 0.30},       {QStringLiteral("названия знаков"), 0.10},
        {QStringLiteral("перекрёстки"), 0.30}, {QStringLiteral("трамваи"), 0.03},
        {QStringLiteral("разметка"), 0.13},    {QStringLiteral("светофоры"), 0.11},
        {QStringLiteral("скорость"), 0.12},    {QStringLiteral("сцены"), 0.15},
    };
    return weights.value(group, 0.1);
}

QList<DemoQuestion> withoutDuplicates(const QList<DemoQuestion> &questions, const QString &what,
                                      QStringList &report)
{
    QList<DemoQuestion> result;
    QHash<QString, QString> seen;
    for (const DemoQuestion &question : questions) {
        const QString key = TicketAssembler::identity(question);
        const auto found = seen.constFind(key);
        if (found != seen.constEnd()) {
            report << QStringLiteral("%1: повтор вопроса из %2 пропущен: %3")
                          .arg(question.origin, *found, question.text);
            continue;
        }
        // The same check in other words (or for another vehicle) over the
        // same picture, or both without one, is a repeat too.
        const auto near =
            std::find_if(result.cbegin(), result.cend(), [&](const DemoQuestion &kept) {
                return kept.jpeg == question.jpeg &&
                       LintText::nearDuplicate(kept.text, kept.variants.at(kept.correct - 1),
                                               question.text,
                                               question.variants.at(question.correct - 1),
                                               TicketAssembler::NearDuplicateSimilarity);
            });
        if (near != result.cend()) {
            report << QStringLiteral("%1: почти повтор вопроса из %2 пропущен: %3")
                          .arg(question.origin, near->origin, question.text);
            continue;
        }
        seen.insert(key, question.origin);
        result << question;
    }
    if (result.size() != questions.size())
        report << QStringLiteral("%1: пропущено повторов: %2")
                      .arg(what)
                      .arg(questions.size() - result.size());
    return result;
}

// `count` questions spread evenly over the list, so that every file and
// topic of the pool keeps its share. A topic with few questions in the pool
// is taken whole and the questions left out come from the bigger topics:
// spread evenly, a topic of ten or twelve would lose one or two, and a
// learner who practises it on its own would find it thinner than the rest.
QList<DemoQuestion> evenlySpread(const QList<DemoQuestion> &questions, int count)
{
    QHash<int, int> topicSizes;
    for (const DemoQuestion &question : questions)
        ++topicSizes[question.topicRank];
    const auto whole = [&](const DemoQuestion &question) {
        return topicSizes.value(question.topicRank) <= TicketAssembler::WholeTopicSize;
    };
    const qsizetype kept = std::count_if(questions.cbegin(), questions.cend(), whole);
    // Too few places for the small topics: spread over everything instead.
    const bool protect = kept <= count;
    QList<qsizetype> others;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        if (!protect || !whole(questions.at(i)))
            others << i;
    }
    const qsizetype wanted = count - (protect ? kept : 0);
    QList<bool> chosen(questions.size(), false);
    for (qsizetype i = 0; i < wanted; ++i)
        chosen[others.at(i * others.size() / wanted)] = true;
    QList<DemoQuestion> result;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        if (chosen.at(i) || (protect && whole(questions.at(i))))
            result << questions.at(i);
    }
    return result;
}

// Picture questions by kind, each kind in a shuffled order; then taken kind
// by kind, always from the kind furthest below its share.
QList<DemoQuestion> pickPictures(const QList<DemoQuestion> &generated, int count,
                                 QStringList &report)
{
    QMap<QString, QList<DemoQuestion>> byGroup;
    for (const DemoQuestion &question : generated)
        byGroup[question.group] << question;
    DemoRandom random(0xD1CE);
    for (auto it = byGroup.begin(); it != byGroup.end(); ++it)
        random.shuffle(it.value());

    QMap<QString, int> taken;
    QHash<QByteArray, int> uses;
    QList<DemoQuestion> result;
    while (result.size() < count) {
        QString best;
        double bestRatio = 0;
        for (auto it = byGroup.cbegin(); it != byGroup.cend(); ++it) {
            if (taken.value(it.key()) >= it.value().size())
                continue;
            const double ratio = taken.value(it.key()) / weightOf(it.key());
            if (best.isEmpty() || ratio < bestRatio) {
                best = it.key();
                bestRatio = ratio;
            }
        }
        if (best.isEmpty())
            break;
        const DemoQuestion &candidate = byGroup[best].at(taken[best]++);
        const QByteArray picture =
            QCryptographicHash::hash(candidate.jpeg, QCryptographicHash::Sha1);
        // A picture serves at most three questions: more, and the learner
        // answers the picture rather than the question.
        if (uses.value(picture) >= TicketAssembler::MaxPictureUses)
            continue;
        ++uses[picture];
        result << candidate;
    }
    QStringList parts;
    for (auto it = byGroup.cbegin(); it != byGroup.cend(); ++it)
        parts << QStringLiteral("%1 %2 из %3")
                     .arg(it.key())
                     .arg(taken.value(it.key()))
                     .arg(it.value().size());
    report << QStringLiteral("с рисунками по видам: %1").arg(parts.join(QStringLiteral(", ")));
    return result;
}

// Numeric variants ("50 км/ч", "3 м") go in ascending order, as on a
// speedometer, so that the place of the right number tells nothing.
void sortNumbers(DemoQuestion &question)
{
    const std::optional<QList<double>> keys = LintText::numericKeys(question.variants);
    if (!keys)
        return;
    QList<std::pair<double, int>> keyed;
    for (int i = 0; i < keys->size(); ++i)
        keyed << std::pair{keys->at(i), i};
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList variants;
    int correct = 0;
    for (const auto &[number, index] : keyed) {
        variants << question.variants.at(index);
        if (index + 1 == question.correct)
            correct = static_cast<int>(variants.size());
    }
    question.variants = variants;
    question.correct = correct;
}

} // namespace

QString TicketAssembler::identity(const DemoQuestion &question)
{
    QString key = question.text.simplified().toLower();
    if (!question.jpeg.isEmpty())
        key +=
            u'#' + QString::fromLatin1(
                       QCryptographicHash::hash(question.jpeg, QCryptographicHash::Sha1).toHex());
    return key;
}

TicketAssembler::Result TicketAssembler::assemble(const QList<DemoQuestion> &poolQuestions,
                                                  const QList<DemoQuestion> &generatedQuestions)
{
    Result result;
    const QList<DemoQuestion> pool = TicketBalance::withoutRuleRepeats(
        withoutDuplicates(poolQuestions, QStringLiteral("пул"), result.report),
        QStringLiteral("пул"), result.report);
    const QList<DemoQuestion> generated = TicketBalance::withoutRuleRepeats(
        withoutDuplicates(generatedQuestions, QStringLiteral("сгенерированные"), result.report),
        QStringLiteral("сгенерированные"), result.report);

    const int poolCount = static_cast<int>(pool.size());
    const int generatedCount = static_cast<int>(generated.size());
    const int pictures =
        std::min(generatedCount, std::max(PictureTarget, QuestionCount - poolCount));
    const int texts = QuestionCount - pictures;
    if (texts > poolCount) {
        result.error = QStringLiteral("вопросов не хватает: нужно %1, есть %2 в пуле и %3 "
                                      "сгенерированных")
                           .arg(QuestionCount)
                           .arg(poolCount)
                           .arg(generatedCount);
        return result;
    }

    QList<DemoQuestion> chosenPictures = pickPictures(generated, pictures, result.report);
    // A picture that would serve too many questions leaves its questions
    // out, and texts take their places.
    const int textsNeeded = QuestionCount - static_cast<int>(chosenPictures.size());
    result.report << QStringLiteral("пул: %1 вопросов, взято %2; сгенерировано с рисунками: %3, "
                                    "взято %4")
                         .arg(poolCount)
                         .arg(std::min(textsNeeded, poolCount))
                         .arg(generatedCount)
                         .arg(chosenPictures.size());
    if (textsNeeded > poolCount) {
        result.error = QStringLiteral("вопросов не хватает: нужно %1 без рисунков, в пуле %2")
                           .arg(textsNeeded)
                           .arg(poolCount);
        return result;
    }
    QList<DemoQuestion> chosenTexts = evenlySpread(pool, textsNeeded);
    // Dealt in a shuffled order, pictures and texts each round the tickets,
    // so that every ticket gets its share of pictures but not the same count
    // of every topic: otherwise, sorted by topic, each kind would stand at the
    // same places in every ticket.
    DemoRandom random(0x71C7);
    random.shuffle(chosenPictures);
    random.shuffle(chosenTexts);
    result.tickets.resize(TicketCount);
    int dealt = 0;
    for (const QList<DemoQuestion> *list : {&chosenPictures, &chosenTexts}) {
        for (const DemoQuestion &question : *list)
            result.tickets[dealt++ % TicketCount] << question;
    }
    TicketBalance::separateGiveaways(result.tickets);
    for (QList<DemoQuestion> &ticket : result.tickets) {
        for (DemoQuestion &question : ticket)
            sortNumbers(question);
        // The usual order of topics, loosely: each question's rank is moved
        // by up to TopicJitter, so that neighbouring topics mix and no kind
        // of question keeps the same places in every ticket.
        QList<std::pair<int, DemoQuestion>> ranked;
        for (const DemoQuestion &question : std::as_const(ticket))
            ranked << std::pair{question.topicRank + random.bounded(TopicJitter), question};
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (qsizetype i = 0; i < ranked.size(); ++i)
            ticket[i] = ranked.at(i).second;
    }
    TicketBalance::balanceKeys(result.tickets);
    return result;
}
