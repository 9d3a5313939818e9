#pragma once

#include "demoquestion.h"

#include <QList>

// The generated picture questions, each kind from its own rule table. Every
// function returns the same questions, in the same order, on every run.
namespace Generators {

QList<DemoQuestion> signQuestions();
QList<DemoQuestion> trafficLightQuestions();
QList<DemoQuestion> markingQuestions();
QList<DemoQuestion> priorityQuestions();
QList<DemoQuestion> speedQuestions();
// Situations seen from the driver's seat: pedestrian crossings, railway
// crossings, tram tracks, lanes, overtaking, personal mobility devices.
QList<DemoQuestion> crossingSceneQuestions();
QList<DemoQuestion> trafficSceneQuestions();
// The traffic controller's signals at a junction seen from above, and
// lights with additional sections at a junction.
QList<DemoQuestion> controllerQuestions();
QList<DemoQuestion> sectionQuestions();
// "Which of these signs...?" over a lettered row: «Только А», «А и Б», «Все».
QList<DemoQuestion> signSetQuestions();

// All of them, kind after kind.
QList<DemoQuestion> all();

} // namespace Generators
