#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One question of the demo set before it is written out: variants are kept
// without the "*" marker, which the source writer adds.
struct DemoQuestion
{
    QString text;
    QStringList variants;
    int correct = 0; // 1..variants.size()
    QString comment;
    QByteArray jpeg; // empty: no picture
    // Where the question came from, for messages: "file.txt:12" for a pool
    // question, "знаки" and the like for a generated one.
    QString origin;
    // Its place in a ticket: questions are shown in the usual order of
    // topics (general terms first, first aid last).
    int topicRank = 0;
    // Generated questions of one kind share a group, so that the assembler
    // can take a fair share of each kind.
    QString group;
};

// Where a topic comes in a ticket. Shared by the pool reader (topics named in
// comments) and the generators.
namespace TopicRank {
inline constexpr int General = 10;
inline constexpr int DriverDuties = 15;
inline constexpr int SpecialSignals = 17;
inline constexpr int Signs = 20;
inline constexpr int Markings = 25;
inline constexpr int TrafficLights = 30;
inline constexpr int Signals = 35;
inline constexpr int Manoeuvres = 40;
inline constexpr int Speed = 45;
inline constexpr int Overtaking = 50;
inline constexpr int Stopping = 55;
inline constexpr int Intersections = 60;
inline constexpr int Crossings = 65;
inline constexpr int Railway = 70;
inline constexpr int Motorways = 72;
inline constexpr int Residential = 74;
inline constexpr int Lights = 76;
inline constexpr int Towing = 78;
inline constexpr int Carriage = 80;
inline constexpr int Motorcycles = 82;
inline constexpr int Malfunctions = 84;
inline constexpr int SafeDriving = 90;
inline constexpr int FirstAid = 95;
inline constexpr int Liability = 97;
inline constexpr int Unknown = 88;

// The topic's name as the topics file lists it ("Дорожные знаки").
QString name(int rank);

// The rank of a topic named in words ("Тема: обгон"), by its key words.
int fromTopicName(const QString &name);
} // namespace TopicRank
