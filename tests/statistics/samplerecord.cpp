#include "samplerecord.h"

#include "statrecord.h"

#include <QRandomGenerator>

void fillSampleRecord(StatRecord &record)
{
    record.reset();
    QRandomGenerator random(20240917);
    const int tickets[] = {1, 2, 3, 5, 7, 8, 12, 15, 21, 22, 30, 38};
    for (int ticket : tickets) {
        // Some tickets are known well, some badly.
        const int skill = 40 + int(random.bounded(55));
        const int passes = 1 + int(random.bounded(3));
        for (int pass = 0; pass < passes; ++pass) {
            const int mode = int(random.bounded(StatMode::Count));
            for (int question = 1; question <= 20; ++question) {
                const int seconds = 4 + int(random.bounded(40));
                for (int s = 0; s < seconds; ++s)
                    record.addSecond(ticket, question, mode);
                if (int(random.bounded(100)) < skill)
                    record.addCorrect(ticket, question, mode);
                else
                    record.addWrong(ticket, question, mode);
            }
        }
    }
}

void fillFullRecord(StatRecord &record)
{
    record.reset();
    QRandomGenerator random(7);
    for (int ticket = 1; ticket <= 40; ++ticket) {
        for (int question = 1; question <= 20; ++question) {
            QuestionStats stats;
            for (int mode = 0; mode < StatMode::Count; ++mode) {
                stats.correct[mode] = quint8(random.bounded(256));
                stats.wrong[mode] = quint8(random.bounded(256));
                stats.seconds[mode] = qint32(random.bounded(100000));
            }
            record.setQuestionStats(ticket, question, stats);
        }
    }
}
