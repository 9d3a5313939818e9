#pragma once

#include "demoquestion.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the demo knows about each road sign it draws.
struct SignInfo
{
    QString number;
    QString name;    // the sign's name in the rules
    QString meaning; // one sentence, used in comments
    // A verb phrase for "Какой из знаков ...?" ("запрещает стоянку"); empty
    // when the sign is not asked that way.
    QString phrase;
    // Signs with the same theme are never offered side by side in a "which
    // sign" question, so that no second answer could be argued for.
    QString theme;
    bool askName = true;
};

// A question about a situation under a sign, written out in full.
struct SignSituation
{
    QStringList signs; // shown on one post, top to bottom
    QString text;
    QStringList variants;
    int correct;
    QString comment;
    // The topic the question is filed under: its sign's, unless the answer
    // lies in the rules of another topic (what the motorway rules forbid on
    // a road under sign 5.1 or 5.3).
    int topicRank = TopicRank::Signs;
};

namespace SignTable {
const QList<SignInfo> &signs();
const SignInfo *find(const QString &number);
// The group of a sign number: 1 warning, 2 priority, 3 prohibitory, ...
int group(const QString &number);
const QList<SignSituation> &situations();
} // namespace SignTable
