#include "generators.h"

#include "questionbuilder.h"
#include "roadsidescene.h"
#include "scenekit.h"
#include "signpainter.h"
#include "signtable.h"

#include <QHash>

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

// Where the rules themselves say what a sign's driver must do, the comment
// of a "which sign" question names the paragraph too.
QString ruleOf(const QString &number)
{
    static const QHash<QString, QString> rules = {
        {"1.6", "На перекрёстке равнозначных дорог уступают транспортным средствам, "
                "приближающимся справа (п. 13.11)."},
        {"2.1", "На перекрёстке неравнозначных дорог водители на второстепенной дороге "
                "уступают приближающимся по главной (п. 13.9)."},
        {"2.3.1", "На перекрёстке неравнозначных дорог водители на второстепенной дороге "
                  "уступают приближающимся по главной (п. 13.9)."},
        {"2.4", "На перекрёстке неравнозначных дорог водители на второстепенной дороге "
                "уступают приближающимся по главной (п. 13.9)."},
        {"2.5", "На перекрёстке неравнозначных дорог водители на второстепенной дороге "
                "уступают приближающимся по главной (п. 13.9)."},
        {"4.3", "Въезжая на такой перекрёсток, уступают тем, кто уже движется по нему "
                "(п. 13.11(1))."},
        {"5.1", "Что запрещено на автомагистрали, перечисляет п. 16.1."},
        {"5.3", "На такой дороге действуют требования об автомагистралях (п. 16.3)."},
        {"5.21", "В жилой зоне пешеходы имеют преимущество (п. 17.1)."},
        {"5.22", "Выезжая из жилой зоны, уступают дорогу другим участникам движения (п. 17.3)."},
        {"5.19.1", "Пешеходам на нерегулируемом переходе водитель уступает дорогу (п. 14.1)."},
        {"1.22", "Пешеходам на нерегулируемом переходе водитель уступает дорогу (п. 14.1)."},
        {"5.16", "Ближе 15 м от него останавливаться можно только для посадки и высадки "
                 "пассажиров (п. 12.4)."},
        {"5.23.1", "В населённом пункте скорость не больше 60 км/ч (п. 10.2)."},
        {"5.24.1", "Дальше действуют ограничения скорости вне населённых пунктов (п. 10.3)."},
        {"5.5", "В населённом пункте на такой дороге можно остановиться и у левого края "
                "(п. 12.1)."},
        {"1.1", "Когда выезжать на переезд запрещено, перечисляет п. 15.3."},
        {"1.2", "Когда выезжать на переезд запрещено, перечисляет п. 15.3."},
        {"1.3.1", "Когда выезжать на переезд запрещено, перечисляет п. 15.3."},
        {"1.8", "Если светофор там выключен или мигает жёлтым, перекрёсток считается "
                "нерегулируемым (п. 13.3)."},
        {"3.27", "Кроме знака, остановку запрещают и сами Правила в ряде мест (п. 12.4)."},
        {"6.4", "Стоянка — остановка дольше 5 минут не для посадки, высадки, погрузки или "
                "разгрузки (п. 1.2)."},
    };
    return rules.value(number);
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
        QuestionBuilder::finish(
            question,
            RoadsideScene::signOnRoad(situation.signs, RoadsideScene::settingOf(situation.text)),
            group, TopicRank::Signs);
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
            QStringLiteral("Под номером %1 — знак «%2». %3 %4Остальные: %5.")
                .arg(position + 1)
                .arg(sign.name, sign.meaning,
                     ruleOf(sign.number).isEmpty() ? QString() : ruleOf(sign.number) + u' ',
                     others.join(QStringLiteral(", "))));
        QuestionBuilder::finish(question, RoadsideScene::numberedSigns(numbers), group,
                                TopicRank::Signs);
        question.origin = QStringLiteral("знаки: %1").arg(numbers.join(u' '));
        result << question;
    }
    return result;
}
