#pragma once

class StatRecord;

// Fills a record as a learner's few weeks would: some hundreds of answers
// over a dozen tickets in every mode, with the seconds they took. The same
// call always gives the same record.
void fillSampleRecord(StatRecord &record);

// Every question of every ticket answered in every mode: the largest amount
// of work the statistics window has to do.
void fillFullRecord(StatRecord &record);
