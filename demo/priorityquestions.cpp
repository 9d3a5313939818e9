#include "generators.h"

#include "intersectionscene.h"
#include "picturestyle.h"
#include "questionbuilder.h"

using PriorityRules::Move;
using PriorityRules::Mover;
using PriorityRules::Roads;

namespace {

struct Participant
{
    Mover mover;
    VehiclePainter::Type type;
    QString nominative;
    QString dative;
    QColor color;
};

QList<Participant> otherKinds()
{
    return {
        {{},
         VehiclePainter::Type::Truck,
         "грузовой автомобиль",
         "грузовому автомобилю",
         PictureStyle::DeepBlue},
        {{}, VehiclePainter::Type::Bus, "автобус", "автобусу", PictureStyle::Amber},
        {{}, VehiclePainter::Type::Motorcycle, "мотоцикл", "мотоциклу", PictureStyle::Green},
    };
}

QString capitalised(const QString &text)
{
    return text.left(1).toUpper() + text.mid(1);
}

QString intention(Move move)
{
    switch (move) {
    case Move::Straight:
        return QStringLiteral("проехать перекрёсток прямо");
    case Move::Left:
        return QStringLiteral("повернуть налево");
    case Move::Right:
        return QStringLiteral("повернуть направо");
    }
    return {};
}

QString movePhrase(Move move)
{
    switch (move) {
    case Move::Straight:
        return QStringLiteral("едет прямо");
    case Move::Left:
        return QStringLiteral("поворачивает налево");
    case Move::Right:
        return QStringLiteral("поворачивает направо");
    }
    return {};
}

QString roadsIntro(Roads roads, bool youAreMain)
{
    if (roads == Roads::Equal)
        return QStringLiteral("Перекрёсток равнозначных дорог (пп. 13.11, 13.12).");
    return youAreMain ? QStringLiteral("Вы едете по главной дороге (п. 13.9).")
                      : QStringLiteral("Вы едете по второстепенной дороге (п. 13.9).");
}

QString joinedAnd(const QStringList &parts)
{
    QString result;
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += i + 1 == parts.size() ? QStringLiteral(" и ") : QStringLiteral(", ");
        result += parts.at(i);
        // A part with its own clause ("автобусу, который едет прямо") closes
        // it with a comma before the next part.
        if (i + 1 < parts.size() && parts.at(i).contains(u','))
            result += u',';
    }
    return result.replace(QStringLiteral(",,"), QStringLiteral(","));
}

// Why `a` gives way to each of `others`, as one dative phrase: "автобусу и
// мотоциклу на главной дороге, а также встречному грузовому автомобилю,
// который едет прямо".
QString yieldReasons(const Participant &a, const QList<Participant> &others, Roads roads)
{
    const bool aMain = PriorityRules::onMainRoad(a.mover.approach, roads);
    QStringList onMain;
    QStringList parts;
    for (const Participant &b : others) {
        const int relative = ((b.mover.approach - a.mover.approach) % 4 + 4) % 4;
        if (PriorityRules::onMainRoad(b.mover.approach, roads) != aMain)
            onMain << b.dative;
        else if (b.mover.tram && !a.mover.tram)
            parts << QStringLiteral("%1, у которого преимущество перед безрельсовыми "
                                    "транспортными средствами")
                         .arg(b.dative);
        else if (relative == 1)
            parts << QStringLiteral("%1, приближающемуся справа").arg(b.dative);
        else
            parts << QStringLiteral("встречному %1, который %2")
                         .arg(b.dative, movePhrase(b.mover.move));
    }
    if (onMain.isEmpty())
        return joinedAnd(parts);
    const QString main = joinedAnd(onMain) + QStringLiteral(" на главной дороге");
    return parts.isEmpty() ? main : main + QStringLiteral(", а также ") + joinedAnd(parts);
}

// Why you (coming from the south) need not give way to `b`: its path does
// not meet yours, or it has to give way to you, by rank of road, by the
// right-hand rule, or as an oncoming vehicle turning left.
QString whyNotYield(const Participant &you, const Participant &b, Roads roads)
{
    const QString name = capitalised(b.nominative);
    const bool youMain = PriorityRules::onMainRoad(you.mover.approach, roads);
    const bool bMain = PriorityRules::onMainRoad(b.mover.approach, roads);
    const QString where = roads == Roads::Equal ? QString()
                          : bMain ? QStringLiteral(" на главной дороге")
                                  : QStringLiteral(" на второстепенной дороге");
    if (!PriorityRules::conflicts(you.mover, b.mover))
        return QStringLiteral("%1%2 %3, его путь не пересекается с вашим, поэтому уступать ему "
                              "не нужно.")
            .arg(name, where, movePhrase(b.mover.move));
    if (roads != Roads::Equal && youMain != bMain)
        return QStringLiteral(
                   "%1 находится на второстепенной дороге и уступает вам, едущему по главной.")
            .arg(name);
    const int relative = ((you.mover.approach - b.mover.approach) % 4 + 4) % 4;
    if (relative == 1)
        return QStringLiteral("%1%2 уступает вам: вы приближаетесь к нему справа.")
            .arg(name, where);
    if (relative == 2 && b.mover.move == Move::Left)
        return QStringLiteral("%1%2 поворачивает налево и уступает вам как встречному "
                              "транспортному средству, движущемуся прямо или направо (п. 13.12).")
            .arg(name, where);
    return QStringLiteral("%1%2 должен уступить вам.").arg(name, where);
}

// "Кому вы должны уступить дорогу?" with the variants every printed ticket
// has: nobody, each one alone, both. For you and one or two others.
DemoQuestion whomToYield(const QList<Participant> &all, Roads roads)
{
    Q_ASSERT(all.size() == 2 || all.size() == 3);
    const Participant &you = all.first();
    QList<int> yieldTo;
    QList<Participant> givenWay;
    for (int i = 1; i < all.size(); ++i) {
        if (PriorityRules::mustYield(you.mover, all.at(i).mover, roads)) {
            yieldTo << i;
            givenWay << all.at(i);
        }
    }
    QStringList variants{QStringLiteral("Никому.")};
    int correct = yieldTo.isEmpty() ? 1 : 0;
    for (int i = 1; i < all.size(); ++i) {
        variants << capitalised(all.size() == 2
                                    ? all.at(i).dative + u'.'
                                    : QStringLiteral("Только %1.").arg(all.at(i).dative));
        if (yieldTo == QList<int>{i})
            correct = static_cast<int>(variants.size());
    }
    if (all.size() == 3) {
        variants << capitalised(QStringLiteral("%1 и %2.").arg(all.at(1).dative, all.at(2).dative));
        if (yieldTo.size() == 2)
            correct = static_cast<int>(variants.size());
    }
    QString comment = roadsIntro(roads, PriorityRules::onMainRoad(0, roads)) + u' ';
    comment += yieldTo.isEmpty() ? QStringLiteral("Вы никому не обязаны уступать.")
                                 : QStringLiteral("Вы должны уступить дорогу %1.")
                                       .arg(yieldReasons(you, givenWay, roads));
    // Every vehicle you do not give way to is accounted for too, so that
    // nobody is left to the learner's guess.
    for (int i = 1; i < all.size(); ++i) {
        if (!yieldTo.contains(i))
            comment += u' ' + whyNotYield(you, all.at(i), roads);
    }
    return QuestionBuilder::ordered(
        QStringLiteral("Вы намерены %1. Кому вы должны уступить дорогу?")
            .arg(intention(you.mover.move)),
        variants, correct, comment);
}

QString orderText(const QList<Participant> &all, const QList<int> &sequence)
{
    QStringList names;
    for (int i : sequence)
        names << all.at(i).nominative;
    return capitalised(names.join(QStringLiteral(", "))) + u'.';
}

// "В каком порядке ...?" for scenes where the vehicles pass one by one.
DemoQuestion passingOrder(const QList<Participant> &all, const QList<QList<int>> &steps,
                          Roads roads, DemoRandom &random)
{
    QList<int> sequence;
    for (const QList<int> &step : steps)
        sequence << step.first();
    // Wrong orders: the right one with two neighbours swapped, or turned
    // round, so that every variant is plausible at first sight.
    QList<QList<int>> wrong;
    for (int i = 0; i + 1 < sequence.size(); ++i) {
        QList<int> swapped = sequence;
        swapped.swapItemsAt(i, i + 1);
        wrong << swapped;
    }
    QList<int> reversed(sequence.rbegin(), sequence.rend());
    if (!wrong.contains(reversed))
        wrong << reversed;
    random.shuffle(wrong);
    const int wrongWanted =
        std::min<int>(static_cast<int>(wrong.size()), sequence.size() > 3 ? 3 : 2);
    QStringList wrongTexts;
    for (int i = 0; i < wrongWanted; ++i)
        wrongTexts << orderText(all, wrong.at(i));

    QStringList sentences;
    for (int position = 0; position < sequence.size(); ++position) {
        const Participant &who = all.at(sequence.at(position));
        QList<Participant> givenWay;
        for (int other = 0; other < all.size(); ++other) {
            if (other != sequence.at(position) &&
                PriorityRules::mustYield(who.mover, all.at(other).mover, roads))
                givenWay << all.at(other);
        }
        if (position == 0)
            sentences << QStringLiteral("Первым проезжает %1: он никому не обязан уступать.")
                             .arg(who.nominative);
        else
            sentences << QStringLiteral("%1 уступает %2.")
                             .arg(capitalised(who.nominative), yieldReasons(who, givenWay, roads));
    }
    QString comment = roads == Roads::Equal
                          ? QStringLiteral("Перекрёсток равнозначных дорог (пп. 13.11, 13.12). ")
                          : QStringLiteral("Главная дорога обозначена знаком 2.1 (п. 13.9). ");
    comment += sentences.join(u' ');
    return QuestionBuilder::shuffled(
        QStringLiteral("В каком порядке транспортные средства проедут перекрёсток?"),
        orderText(all, sequence), wrongTexts, comment, random);
}

// Scenes where you give way to nobody are the easiest to make and would
// otherwise outnumber the rest, teaching "Никому" as the safe guess: they
// are kept to about a third of the "Кому вы должны уступить дорогу?" kind.
QList<DemoQuestion> balancedAnswers(const QList<DemoQuestion> &questions)
{
    QList<DemoQuestion> result;
    int asked = 0;
    int nobody = 0;
    for (const DemoQuestion &question : questions) {
        if (question.text.endsWith(QStringLiteral("Кому вы должны уступить дорогу?"))) {
            const bool none = question.variants.at(question.correct - 1) == u"Никому.";
            if (none && 3 * (nobody + 1) > asked + 1)
                continue;
            ++asked;
            nobody += none ? 1 : 0;
        }
        result << question;
    }
    return result;
}

} // namespace

namespace {

int exitArm(const Mover &mover)
{
    switch (mover.move) {
    case Move::Straight:
        return (mover.approach + 2) % 4;
    case Move::Left:
        return (mover.approach + 3) % 4;
    case Move::Right:
        return (mover.approach + 1) % 4;
    }
    return -1;
}

// Whether the roads can be of this kind when `missingArm` is left out: a
// main road runs straight through, so both of its arms must be there.
bool roadsFit(Roads roads, int missingArm)
{
    if (missingArm < 0 || roads == Roads::Equal)
        return true;
    return PriorityRules::onMainRoad(missingArm, roads) == false;
}

} // namespace

QList<DemoQuestion> Generators::priorityQuestions()
{
    QList<DemoQuestion> result;
    DemoRandom random(0x13C0);
    const QList<Roads> roadKinds = {Roads::Equal, Roads::MainNorthSouth, Roads::MainEastWest};
    const QList<Move> moves = {Move::Straight, Move::Left, Move::Right};
    int scene = 0;

    // Crossroads first, then T-junctions without the east, north or west arm.
    for (int missingArm : {-1, 1, 2, 3}) {
        for (Roads roads : roadKinds) {
            if (!roadsFit(roads, missingArm))
                continue;
            for (Move yourMove : moves) {
                if (exitArm({0, yourMove}) == missingArm)
                    continue;
                // Other vehicles: any non-empty set of the other approaches,
                // each with any manoeuvre the junction allows.
                for (int mask = 1; mask < 8; ++mask) {
                    QList<int> approaches;
                    for (int k = 1; k <= 3; ++k) {
                        if (mask & (1 << (k - 1)))
                            approaches << k;
                    }
                    if (approaches.contains(missingArm))
                        continue;
                    int combinations = 1;
                    for (int i = 0; i < approaches.size(); ++i)
                        combinations *= 3;
                    for (int combination = 0; combination < combinations; ++combination) {
                        ++scene;
                        QList<Participant> all;
                        all << Participant{{0, yourMove},
                                           VehiclePainter::Type::Car,
                                           "легковой автомобиль",
                                           "легковому автомобилю",
                                           PictureStyle::SignalRed};
                        const QList<Participant> kinds = otherKinds();
                        int code = combination;
                        bool possible = true;
                        for (int i = 0; i < approaches.size(); ++i) {
                            Participant other = kinds.at((i + scene) % kinds.size());
                            other.mover = {approaches.at(i), moves.at(code % 3)};
                            code /= 3;
                            possible = possible && exitArm(other.mover) != missingArm;
                            all << other;
                        }
                        // A vehicle that leaves into the arm you leave into, without the
                        // rules counting it as crossing your path, is a matter of pixels
                        // in a sketch: such scenes are not asked.
                        for (int i = 1; i < all.size() && possible; ++i) {
                            possible = exitArm(all.at(i).mover) != exitArm(all.first().mover) ||
                                       PriorityRules::conflicts(all.first().mover, all.at(i).mover);
                        }
                        if (!possible)
                            continue;
                        QList<Mover> movers;
                        for (const Participant &p : all)
                            movers << p.mover;
                        const QList<QList<int>> steps = PriorityRules::order(movers, roads);
                        if (steps.isEmpty())
                            continue;
                        bool oneByOne = true;
                        for (const QList<int> &step : steps)
                            oneByOne = oneByOne && step.size() == 1;

                        DemoQuestion question;
                        if (all.size() == 4 || (all.size() == 3 && oneByOne && scene % 2 == 0)) {
                            if (!oneByOne)
                                continue;
                            question = passingOrder(all, steps, roads, random);
                        } else {
                            question = whomToYield(all, roads);
                        }
                        QList<IntersectionVehicle> drawn;
                        for (const Participant &p : all)
                            drawn << IntersectionVehicle{p.mover, p.type, p.color};
                        QuestionBuilder::finish(
                            question, IntersectionScene::picture(drawn, roads, missingArm),
                            QStringLiteral("перекрёстки"), TopicRank::Intersections);
                        result << question;
                    }
                }
            }
        }
    }

    // Trams on the east-west road, straight through, with you and at most one
    // more vehicle.
    const Participant tram{{0, Move::Straight, true},
                           VehiclePainter::Type::Tram,
                           "трамвай",
                           "трамваю",
                           QColor(0xEE, 0xE8, 0xD6)};
    for (Roads roads : roadKinds) {
        for (int tramFrom : {1, 3}) {
            for (Move yourMove : moves) {
                // Besides you and the tram: nobody, one vehicle, or one on each
                // of the two free approaches (3 x 3 manoeuvres).
                for (int extra = -1; extra < 15; ++extra) {
                    ++scene;
                    QList<Participant> all;
                    all << Participant{{0, yourMove},
                                       VehiclePainter::Type::Car,
                                       "легковой автомобиль",
                                       "легковому автомобилю",
                                       PictureStyle::SignalRed};
                    Participant theTram = tram;
                    theTram.mover.approach = tramFrom;
                    all << theTram;
                    const QList<int> free = {2, 4 - tramFrom};
                    if (extra >= 0 && extra < 6) {
                        Participant other = otherKinds().at(scene % 3);
                        other.mover = {free.at(extra / 3), moves.at(extra % 3)};
                        all << other;
                    } else if (extra >= 6) {
                        for (int i = 0; i < 2; ++i) {
                            Participant other = otherKinds().at((scene + i) % 3);
                            other.mover = {free.at(i),
                                           moves.at(i == 0 ? (extra - 6) / 3 : (extra - 6) % 3)};
                            all << other;
                        }
                    }
                    QList<Mover> movers;
                    for (const Participant &p : all)
                        movers << p.mover;
                    const QList<QList<int>> steps = PriorityRules::order(movers, roads);
                    if (steps.isEmpty())
                        continue;
                    bool oneByOne = true;
                    for (const QList<int> &step : steps)
                        oneByOne = oneByOne && step.size() == 1;
                    // Four vehicles are asked about only as an order of passage.
                    if (all.size() == 4 && !oneByOne)
                        continue;
                    const bool askOrder =
                        all.size() == 4 || (all.size() == 3 && oneByOne && scene % 2 == 0);
                    const DemoQuestion question = askOrder ? passingOrder(all, steps, roads, random)
                                                           : whomToYield(all, roads);
                    QList<IntersectionVehicle> drawn;
                    for (const Participant &p : all)
                        drawn << IntersectionVehicle{p.mover, p.type, p.color};
                    DemoQuestion finished = question;
                    QuestionBuilder::finish(finished, IntersectionScene::picture(drawn, roads),
                                            QStringLiteral("трамваи"), TopicRank::Intersections);
                    result << finished;
                }
            }
        }
    }
    return balancedAnswers(result);
}
