#include "learnerwindow.h"

#include "dailychart.h"
#include "learnerhistory.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeZone>
#include <QVBoxLayout>

#include <cmath>

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, bool wrap = false)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(wrap);
    return label;
}

QString percentText(double probability)
{
    // Below one percent still reads as "less than 1 %" rather than 0.
    const double percent = probability * 100.0;
    if (percent > 0 && percent < 1)
        return QStringLiteral("меньше 1 %");
    return QStringLiteral("%1 %").arg(int(std::lround(percent)));
}

} // namespace

LearnerWindow::LearnerWindow(LearnerHistory &history, QWidget *parent)
    : QDialog(parent), m_history(history)
{
    setObjectName(QStringLiteral("learnerWindow"));
    setWindowTitle(QStringLiteral("Моя подготовка"));
    setMinimumWidth(640);
    createControls();
}

void LearnerWindow::createControls()
{
    m_readiness = makeLabel(this, "readinessLabel");
    QFont big = m_readiness->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    m_readiness->setFont(big);
    m_explanation = makeLabel(this, "readinessExplanation", true);
    m_unavailable = makeLabel(this, "historyUnavailableLabel", true);
    m_unavailable->setText(QStringLiteral(
        "История ответов недоступна: программа работает только со статистикой «stat.dat»."));

    m_mistakes = makeLabel(this, "mistakesCountLabel");
    m_due = makeLabel(this, "dueCountLabel");
    m_mistakesButton = new QPushButton(QStringLiteral("Работа над ошибками"), this);
    m_mistakesButton->setObjectName(QStringLiteral("mistakesButton"));
    m_reviewButton = new QPushButton(QStringLiteral("Повторение"), this);
    m_reviewButton->setObjectName(QStringLiteral("reviewButton"));
    m_mistakesHint = makeLabel(this, "mistakesHint", true);
    m_reviewHint = makeLabel(this, "reviewHint", true);

    m_chart = new DailyChart(this);
    m_chart->setObjectName(QStringLiteral("activityChart"));
    m_chart->setTitle(QStringLiteral("Последние 30 дней"));
    m_chart->setMinimumSize(520, 240);

    auto *close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("closeButton"));

    auto *modes = new QGridLayout;
    modes->addWidget(m_mistakes, 0, 0);
    modes->addWidget(m_mistakesButton, 0, 1);
    modes->addWidget(m_mistakesHint, 1, 0, 1, 2);
    modes->addWidget(m_due, 2, 0);
    modes->addWidget(m_reviewButton, 2, 1);
    modes->addWidget(m_reviewHint, 3, 0, 1, 2);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_readiness);
    layout->addWidget(m_explanation);
    layout->addWidget(m_unavailable);
    layout->addLayout(modes);
    layout->addWidget(m_chart, 1);
    layout->addLayout(bottom);

    connect(m_mistakesButton, &QPushButton::clicked, this,
            [this] { emit mistakesRequested(m_overview.mistakesBatch); });
    connect(m_reviewButton, &QPushButton::clicked, this,
            [this] { emit reviewRequested(m_overview.dueBatch); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void LearnerWindow::showEvent(QShowEvent *event)
{
    refresh();
    QDialog::showEvent(event);
}

void LearnerWindow::refresh()
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const bool available = m_history.isAvailable();
    m_overview = available ? PreparationOverview::load(*m_history.store(), m_history.fingerprint(),
                                                       now, zone)
                           : PreparationOverview::compute({}, now, zone);
    m_unavailable->setVisible(!available);

    m_readiness->setText(QStringLiteral("Готовность к экзамену: %1")
                             .arg(percentText(m_overview.readiness.passProbability)));
    m_explanation->setText(Readiness::explanation(m_overview.readiness));
    m_mistakes->setText(
        QStringLiteral("Вопросов для работы над ошибками: %1").arg(m_overview.mistakesCount));
    m_due->setText(QStringLiteral("К повторению сегодня: %1").arg(m_overview.dueTodayCount));

    m_mistakesButton->setEnabled(!m_overview.mistakesBatch.isEmpty());
    m_mistakesHint->setText(
        m_overview.mistakesBatch.isEmpty()
            ? QStringLiteral("Ошибок нет: вопросы, на которые вы ответите "
                             "неверно, появятся здесь.")
            : QStringLiteral("До 20 вопросов, начиная с последних ошибок; "
                             "вопрос уходит после двух верных ответов подряд."));
    m_reviewButton->setEnabled(!m_overview.dueBatch.isEmpty());
    m_reviewHint->setText(m_overview.dueBatch.isEmpty()
                              ? QStringLiteral("На сегодня повторять нечего.")
                              : QStringLiteral("До 20 вопросов, которые пора повторить, начиная "
                                               "с самых просроченных."));

    DailyChart::Data data;
    data.countTitle = QStringLiteral("Ответов за день");
    data.percentTitle = QStringLiteral("Верных, %");
    for (const DailySeries::DayActivity &day : m_overview.lastDays) {
        data.days << day.date;
        data.counts << day.answers;
        data.percents << (day.answers > 0 ? std::optional(day.shareRight() * 100.0) : std::nullopt);
    }
    m_chart->setData(data);
    // The texts change their wrapped heights: let the layout take them.
    layout()->activate();
    if (height() < sizeHint().height())
        resize(width(), sizeHint().height());
}
