#pragma once

#include "answerrecord.h"
#include "learnermodel.h"

#include <QDateTime>
#include <QList>
#include <QWidget>

#include <functional>

class DailyChart;
class QLabel;

// "Динамика": the answer history day by day — answers per day, the share
// answered right and the exam readiness at the end of each day — from the
// first day with an answer to today (at most the last year).
class DynamicsPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MaxDays = 366;
    // The database's answers, oldest first; empty without a history.
    using AnswerSource = std::function<QList<AnswerOutcome>()>;
    using Clock = std::function<QDateTime()>;
    // A line about the history when it is not fully in use (busy,
    // read-only, unavailable); empty when all is well.
    using NoteSource = std::function<QString()>;

    explicit DynamicsPage(QWidget *parent = nullptr);

    void setAnswerSource(AnswerSource source) { m_source = std::move(source); }
    // The variant counts and memory weights the readiness line is computed
    // with; the defaults without one.
    using ModelSource = std::function<LearnerModel()>;
    void setModelSource(ModelSource source) { m_modelSource = std::move(source); }
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setNoteSource(NoteSource source) { m_noteSource = std::move(source); }
    // Reads the answers anew and fills the three charts.
    void refresh();

    DailyChart *answersChart() const { return m_answers; }
    DailyChart *shareChart() const { return m_share; }
    DailyChart *readinessChart() const { return m_readiness; }

private:
    AnswerSource m_source;
    ModelSource m_modelSource;
    Clock m_clock;
    NoteSource m_noteSource;
    QLabel *m_note = nullptr;
    DailyChart *m_answers = nullptr;
    DailyChart *m_share = nullptr;
    DailyChart *m_readiness = nullptr;
};
