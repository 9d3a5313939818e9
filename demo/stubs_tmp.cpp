#include "generators.h"
QList<DemoQuestion> Generators::trafficLightQuestions() { return {}; }
QList<DemoQuestion> Generators::markingQuestions() { return {}; }
QList<DemoQuestion> Generators::priorityQuestions() { return {}; }
QList<DemoQuestion> Generators::speedQuestions() { return {}; }
