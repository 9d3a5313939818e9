#include "knowledgescore.h"

#include "statrecord.h"
#include "ticketstatus.h"

#include <algorithm>
#include <cmath>

double knowledgeScore(const StatRecord &record)
{
    double sum = 0.0;
    for (int ticket = 1; ticket <= 40; ++ticket) {
        switch (record.ticketStatus(ticket)) {
        case TicketStatus::ExamPassed:
            sum += 1.0;
            break;
        case TicketStatus::Failed:
            sum -= 2.0;
            break;
        case TicketStatus::TrainingPassed:
            sum += 0.2;
            break;
        default:
            break;
        }
    }
    return std::max(0.0, sum * 2.5);
}

int knowledgePictureIndex(double score)
{
    // nearbyint rounds in the default mode, to nearest with ties to even.
    return std::clamp(int(std::nearbyint(score / 5.0)), 0, 20);
}
