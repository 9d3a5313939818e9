#include "dynamicspage.h"

#include "dailychart.h"
#include "dailyseries.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimeZone>
#include <QVBoxLayout>

#include <algorithm>

DynamicsPage::DynamicsPage(QWidget *parent) : QWidget(parent)
{
    const auto makeChart = [this](const char *name, const QString &title) {
        auto *chart = new DailyChart(this);
        chart->setObjectName(QString::fromLatin1(name));
        chart->setTitle(title);
        return chart;
    };
    m_answers = makeChart("dailyAnswersChart", QStringLiteral("Ответов в день"));
    m_share = makeChart("dailyShareChart", QStringLiteral("Доля верных ответов"));
    m_readiness = makeChart("dailyReadinessChart", QStringLiteral("Готовность к экзамену"));

    auto *lower = new QHBoxLayout;
    lower->addWidget(m_share);
    lower->addWidget(m_readiness);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("dynamicsHistoryNote"));
    m_note->setWordWrap(true);
    m_note->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_note);
    layout->addWidget(m_answers);
    layout->addLayout(lower);
}

void DynamicsPage::refresh()
{
    const QList<AnswerOutcome> answers = m_source ? m_source() : QList<AnswerOutcome>();
    const QString note = m_noteSource ? m_noteSource() : QString();
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDate today = now.toTimeZone(zone).date();

    DailyChart::Data counts;
    counts.countTitle = QStringLiteral("Ответов");
    DailyChart::Data share;
    share.percentTitle = QStringLiteral("Верных, %");
    DailyChart::Data readiness;
    readiness.percentTitle = QStringLiteral("Готовность, %");

    if (!answers.isEmpty()) {
        const qint64 firstMs = std::min_element(answers.begin(), answers.end(),
                                                [](const AnswerOutcome &a, const AnswerOutcome &b) {
                                                    return a.answeredAtMs < b.answeredAtMs;
                                                })
                                   ->answeredAtMs;
        QDate from = QDateTime::fromMSecsSinceEpoch(firstMs, zone).date();
        from = std::max(from, today.addDays(-(MaxDays - 1)));
        if (from > today)
            from = today;
        for (const DailySeries::DayActivity &day :
             DailySeries::activity(answers, from, today, zone)) {
            counts.days << day.date;
            counts.counts << day.answers;
            share.days << day.date;
            share.percents << (day.answers > day.corrections
                                   ? std::optional(day.shareRight() * 100.0)
                                   : std::nullopt);
        }
        for (const DailySeries::DayReadiness &day : DailySeries::readiness(
                 answers, from, today, zone, m_modelSource ? m_modelSource() : LearnerModel())) {
            readiness.days << day.date;
            readiness.percents << std::optional(day.passProbability * 100.0);
        }
    }
    m_answers->setData(counts);
    m_share->setData(share);
    m_readiness->setData(readiness);
}
