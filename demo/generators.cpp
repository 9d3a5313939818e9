#include "generators.h"

QList<DemoQuestion> Generators::all()
{
    QList<DemoQuestion> result;
    result << signQuestions() << trafficLightQuestions() << markingQuestions()
           << priorityQuestions() << speedQuestions() << crossingSceneQuestions()
           << trafficSceneQuestions() << controllerQuestions() << sectionQuestions()
           << signSetQuestions();
    return result;
}
