#include "generators.h"

#include "questionbuilder.h"
#include "roadsidescene.h"
#include "scenekit.h"
#include "signpainter.h"
#include "signtable.h"

namespace {

// Themes that touch one another (speed and the zones that set a speed,
// right of way and what governs it, who may use a road...) are never mixed
// in one "which sign" question, so that no second answer could be argued
// for: a pedestrian path, too, keeps motorcycles out.
bool related(const QString &a, const QString &b)
{
    static const QList<QStringList> families = {
        {"speed", "residential", "settlement", "motorway", "overtake"},
        {"main", "round", "light", "rail", "tram", "residential"},
        {"entry", "oneway", "turns", "obstacle"},
        // Stopping is forbidden on crossings and on motorways, parking
        // outside towns on a main road, overtaking on crossings too.
        {"parking", "bus", "main", "motorway", "rail", "crossing"},
        {"overtake", "rail", "crossing"},
        {"crossing", "bicycle", "entry", "motorway", "residential"},
    };
    if (a == b)
        return true;
    for (const QStringList &family : families) {
        if (family.contains(a) && family.contains(b))
            return true;
    }
    return false;
}

QStringList answerLetters(int count)
{
    QStringList result;
    for (int i = 1; i <= count; ++i)
        result << QStringLiteral("Знак %1.").arg(i);
    return result;
}

} // namespace

QList<DemoQuestion> Generators::signQuestions()
{
    QList<DemoQuestion> result;
    DemoRandom random(0x5167);
    const QList<SignInfo> &signs = SignTable::signs();
    const QString group = QStringLiteral("знаки");

    // A sign asked about in a situation is not asked by name as well: the
    // two would share one picture.
    QStringList inSituations;
    for (const SignSituation &situation : SignTable::situations()) {
        if (situation.signs.size() == 1)
            inSituations << situation.signs.first();
    }
    for (const SignInfo &sign : signs) {
        // A sign that a "which of these signs" question shows is not asked by
        // name as well: that would ask the same thing twice.
        if (!sign.askName || !sign.phrase.isEmpty() || !SignPainter::canPaint(sign.number) ||
            inSituations.contains(sign.number))
            continue;
        QStringList candidates;
        for (const SignInfo &other : signs) {
            if (other.number != sign.number && other.name != sign.name &&
                SignTable::group(other.number) == SignTable::group(sign.number) &&
                !candidates.contains(other.name))
                candidates << other.name;
        }
        random.shuffle(candidates);
        // Never a lone distractor: with two variants the odd name out gives
        // the answer away.
        const int wrong =
            std::max(std::min(2, static_cast<int>(candidates.size())),
                     QuestionBuilder::wrongCount(random, static_cast<int>(candidates.size())));
        if (wrong < 2)
            continue;
        DemoQuestion question = QuestionBuilder::shuffled(
            QStringLiteral("Как называется этот знак?"), sign.name + u'.',
            [&] {
                QStringList names = candidates.mid(0, wrong);
                for (QString &name : names)
                    name += u'.';
                return names;
            }(),
            sign.meaning, random);
        // Printed tickets seldom ask a sign's name, so these form a kind of
        // their own that the assembler takes sparingly.
        QuestionBuilder::finish(question, RoadsideScene::signOnRoad({sign.number}),
                                QStringLiteral("названия знаков"), TopicRank::Signs);
        question.origin = QStringLiteral("знаки, %1: %2").arg(SceneKit::DriverView, sign.number);
        result << question;
    }

    for (const SignSituation &situation : SignTable::situations()) {
        DemoQuestion question = QuestionBuilder::ordered(situation.text, situation.variants,
                                                         situation.correct, situation.comment);
        QuestionBuilder::finish(question, RoadsideScene::signOnRoad(situation.signs), group,
                                TopicRank::Signs);
        question.origin =
            QStringLiteral("знаки, %1: %2").arg(SceneKit::DriverView, situation.signs.join(u' '));
        result << question;
    }

    for (const SignInfo &sign : signs) {
        if (sign.phrase.isEmpty() || !SignPainter::canPaint(sign.number))
            continue;
        QList<const SignInfo *> candidates;
        for (const SignInfo &other : signs) {
            if (other.askName && SignTable::group(other.number) != SignTable::group(sign.number) &&
                !related(other.theme, sign.theme) && SignPainter::aspect(other.number) < 2)
                candidates << &other;
        }
        random.shuffle(candidates);
        const int count = random.bounded(4) == 0 ? 4 : 3;
        QList<const SignInfo *> shown;
        QStringList shownThemes{sign.theme};
        for (const SignInfo *other : candidates) {
            if (shown.size() == count - 1)
                break;
            // Distractors differ from each other too, so the row looks varied.
            const bool near =
                std::any_of(shownThemes.cbegin(), shownThemes.cend(),
                            [&](const QString &theme) { return related(theme, other->theme); });
            if (!near) {
                shown << other;
                shownThemes << other->theme;
            }
        }
        const int position = random.bounded(static_cast<int>(shown.size()) + 1);
        shown.insert(position, &sign);
        QStringList numbers;
        for (const SignInfo *one : shown)
            numbers << one->number;
        // The comment names the other signs too, so that a wrong pick
        // learns what it picked.
        QStringList others;
        for (int i = 0; i < shown.size(); ++i) {
            if (i != position)
                others << QStringLiteral("%1 — «%2»").arg(i + 1).arg(shown.at(i)->name);
        }
        DemoQuestion question = QuestionBuilder::ordered(
            QStringLiteral("Какой из этих знаков %1?").arg(sign.phrase),
            answerLetters(static_cast<int>(shown.size())), position + 1,
            QStringLiteral("Под номером %1 — знак «%2». %3 Остальные: %4.")
                .arg(position + 1)
                .arg(sign.name, sign.meaning, others.join(QStringLiteral(", "))));
        QuestionBuilder::finish(question, RoadsideScene::numberedSigns(numbers), group,
                                TopicRank::Signs);
        question.origin = QStringLiteral("знаки: %1").arg(numbers.join(u' '));
        result << question;
    }
    return result;
}
