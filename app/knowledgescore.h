#pragma once

class StatRecord;

// The user's overall result from the 40 ticket statuses, 0..100: an exam
// passed counts 1, a failure -2, a training passed 0.2, anything else 0; the
// sum is scaled to 100 for 40 passed exams and a negative score becomes 0.
double knowledgeScore(const StatRecord &record);

// The knowledge picture 0..20 for a score: score / 5 rounded to the nearest
// integer, exact halves to the even neighbour (12.5 gives 2).
int knowledgePictureIndex(double score);
