#pragma once

#include "demoquestion.h"

#include <QList>
#include <QString>
#include <QStringList>

// Lays the demo out: chooses 800 distinct questions from the hand-written
// pool and the generated picture questions and deals them into 40 tickets of
// 20, so that every ticket mixes picture and text questions and shows its
// questions in the usual order of topics. Everything is decided by fixed
// seeds, never by the clock: the same input gives the same tickets.
class TicketAssembler
{
public:
    static constexpr int TicketCount = 40;
    static constexpr int QuestionsPerTicket = 20;
    static constexpr int QuestionCount = TicketCount * QuestionsPerTicket;
    // How many picture questions the demo aims at when the pool is full:
    // a little under half of
    // the questions, nine or ten per ticket.
    static constexpr int PictureTarget = 380;
    // A topic with at most this many questions in the pool is taken whole
    // when the pool has more questions than places: the places are saved
    // on the bigger topics, and no topic falls below the ten a learner
    // needs to practise it on its own.
    static constexpr int WholeTopicSize = 15;
    // No picture serves more questions than this.
    static constexpr int MaxPictureUses = 3;
    // Questions whose words (text and correct variant) overlap this much,
    // over the same picture or both without one, count as one.
    static constexpr double NearDuplicateSimilarity = 0.7;
    // How far a question may move from its topic's place in a ticket, in
    // topic ranks (signs are 20, intersections 60): topics keep their usual
    // order loosely, and no kind of question keeps the same places.
    static constexpr int TopicJitter = 50;

    struct Result
    {
        QList<QList<DemoQuestion>> tickets; // 40 x 20 when ok
        QStringList report;                 // what came from where
        QString error;                      // set when there are too few questions
        bool ok() const { return error.isEmpty(); }
    };

    static Result assemble(const QList<DemoQuestion> &pool, const QList<DemoQuestion> &generated);

    // What makes two questions the same: the text, and the picture when the
    // text alone could be shared ("Как называется этот знак?").
    static QString identity(const DemoQuestion &question);
};
