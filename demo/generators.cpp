#include "generators.h"

QList<DemoQuestion> Generators::all()
{
    QList<DemoQuestion> result;
    result << signQuestions() << trafficLightQuestions() << markingQuestions()
           << priorityQuestions() << speedQuestions();
    return result;
}
