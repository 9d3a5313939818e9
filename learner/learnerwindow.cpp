#include "learnerwindow.h"

#include "answerhistory.h"
#include "dailychart.h"
#include "learnerhistory.h"
#include "messageboxes.h"
#include "percenttext.h"
#include "questionindexentry.h"
#include "questionprogress.h"
#include "screenfit.h"
#include "topicprogress.h"
#include "topicsource.h"
#include "topicspage.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimeZone>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, bool wrap = false)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(wrap);
    return label;
}

} // namespace

LearnerWindow::LearnerWindow(LearnerHistory &history, QWidget *parent)
    : QDialog(parent), m_history(history)
{
    setObjectName(QStringLiteral("learnerWindow"));
    setWindowTitle(QStringLiteral("Моя подготовка"));
    setMinimumWidth(640);
    createControls();
    // A size of its own rather than the layout's wish, which the charts
    // make as large as two thirds of the screen; no larger than the largest
    // window (InterfaceScale), and grown in refresh() only as far as the
    // texts need.
    resize(720, 480);
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
    m_weights = makeLabel(this, "memoryWeightsLabel", true);
    connect(&m_fit, &QFutureWatcher<FsrsFit::Result>::finished, this,
            &LearnerWindow::onRefitFinished);

    m_carriedOver = makeLabel(this, "carriedOverLabel", true);
    m_carriedOver->hide();

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("learnerTabs"));
    // The overview scrolls rather than being squeezed when the window is
    // kept within the largest window size or the screen.
    auto *overview = new QScrollArea;
    overview->setObjectName(QStringLiteral("overviewArea"));
    overview->setWidget(createOverviewTab());
    overview->setWidgetResizable(true);
    overview->setFrameShape(QFrame::NoFrame);
    overview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tabs->addTab(overview, QStringLiteral("Обзор"));
    m_tabs->addTab(createOfficialExamTab(), QStringLiteral("Экзамен ГИБДД"));
    m_tabs->addTab(createMarathonTab(), QStringLiteral("Марафон"));
    m_topicsPage = new TopicsPage;
    m_tabs->addTab(m_topicsPage, QStringLiteral("По темам"));
    connect(m_topicsPage, &TopicsPage::topicRequested, this, [this](int index) {
        const QList<TopicProgress> &topics = m_topicsPage->topics();
        if (index >= 0 && index < topics.size())
            emit topicRequested(topics[index].name, topics[index].runOrder);
    });

    auto *close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    // The signs, markings and fines of the database, beside the modes.
    auto *reference = new QPushButton(QStringLiteral("Справочник"), this);
    reference->setObjectName(QStringLiteral("referenceButton"));
    connect(reference, &QPushButton::clicked, this, &LearnerWindow::referenceRequested);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(reference);
    bottom->addStretch();
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_readiness);
    // The explanation grows with what lowers the readiness; past eight lines
    // it scrolls, so that the window keeps its buttons on the screen at every
    // scale. Up to that it is shown whole (fitExplanation()).
    m_explanationArea = new QScrollArea(this);
    m_explanationArea->setObjectName(QStringLiteral("readinessExplanationArea"));
    m_explanationArea->setWidget(m_explanation);
    m_explanationArea->setWidgetResizable(true);
    m_explanationArea->setFrameShape(QFrame::NoFrame);
    m_explanationArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_explanationArea->setMaximumHeight(8 * m_explanation->fontMetrics().lineSpacing() + 4);
    m_explanationArea->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    m_explanation->setBackgroundRole(QPalette::Window);
    layout->addWidget(m_explanationArea);
    layout->addWidget(m_unavailable);
    layout->addWidget(m_carriedOver);
    layout->addWidget(m_weights);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(bottom);
}

QWidget *LearnerWindow::createOverviewTab()
{
    auto *tab = new QWidget;
    m_mistakes = makeLabel(tab, "mistakesCountLabel");
    m_due = makeLabel(tab, "dueCountLabel");
    m_mistakesButton = new QPushButton(QStringLiteral("Работа над ошибками"), tab);
    m_mistakesButton->setObjectName(QStringLiteral("mistakesButton"));
    m_reviewButton = new QPushButton(QStringLiteral("Повторение"), tab);
    m_reviewButton->setObjectName(QStringLiteral("reviewButton"));
    m_mistakesHint = makeLabel(tab, "mistakesHint", true);
    m_reviewHint = makeLabel(tab, "reviewHint", true);
    m_studyNextButton = new QPushButton(QStringLiteral("Что учить дальше"), tab);
    m_studyNextButton->setObjectName(QStringLiteral("studyNextButton"));
    m_studyNextButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    m_studyNextButton->setToolTip(
        QStringLiteral("Вопросы, которые сильнее всего поднимут готовность (%1)")
            .arg(m_studyNextButton->shortcut().toString(QKeySequence::NativeText)));
    m_studyNextHint = makeLabel(tab, "studyNextHint", true);

    m_chart = new DailyChart(tab);
    m_chart->setObjectName(QStringLiteral("activityChart"));
    m_chart->setTitle(QStringLiteral("Последние 30 дней"));
    // Low enough for the whole window to stay within the largest window
    // size (InterfaceScale) at 100 %; it grows with the window.
    m_chart->setMinimumSize(520, 170);

    auto *modes = new QGridLayout;
    modes->addWidget(m_mistakes, 0, 0);
    modes->addWidget(m_mistakesButton, 0, 1);
    modes->addWidget(m_mistakesHint, 1, 0, 1, 2);
    modes->addWidget(m_due, 2, 0);
    modes->addWidget(m_reviewButton, 2, 1);
    modes->addWidget(m_reviewHint, 3, 0, 1, 2);
    modes->addWidget(m_studyNextHint, 4, 0);
    modes->addWidget(m_studyNextButton, 4, 1, Qt::AlignTop);

    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(modes);
    layout->addWidget(m_chart, 1);

    connect(m_mistakesButton, &QPushButton::clicked, this,
            [this] { emit mistakesRequested(m_overview.mistakesBatch); });
    connect(m_reviewButton, &QPushButton::clicked, this,
            [this] { emit reviewRequested(m_overview.dueBatch); });
    connect(m_studyNextButton, &QPushButton::clicked, this,
            [this] { emit studyNextRequested(m_overview.studyNext.questions); });
    return tab;
}

QWidget *LearnerWindow::createOfficialExamTab()
{
    auto *tab = new QWidget;
    auto *rules = makeLabel(tab, "officialExamRules", true);
    rules->setText(
        QStringLiteral("<p>Экзамен так, как его принимают в ГИБДД: случайный билет из 20 вопросов, "
                       "20 минут, без подсказок и комментариев.</p>"
                       "<p>Вопросы билета разбиты на 4 тематических блока по 5. Одна ошибка (или "
                       "вопрос без ответа, когда время вышло) добавляет 5 вопросов того же блока "
                       "из другого билета и 5 минут; две ошибки в разных блоках — 10 вопросов и "
                       "10 минут. В дополнительных вопросах ошибаться нельзя.</p>"
                       "<p>Экзамен не сдан сразу при двух ошибках в одном блоке, при третьей "
                       "ошибке или при ошибке в дополнительном блоке.</p>"
                       "<p>Ответы идут в статистику экзаменов; статусы билетов не меняются. "
                       "После экзамена ошибки можно разобрать с комментариями.</p>"));
    m_officialExamButton = new QPushButton(QStringLiteral("Начать экзамен"), tab);
    m_officialExamButton->setObjectName(QStringLiteral("officialExamButton"));
    connect(m_officialExamButton, &QPushButton::clicked, this,
            &LearnerWindow::officialExamRequested);
    m_officialExamRecord = makeLabel(tab, "officialExamRecordLabel", true);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(rules);
    layout->addWidget(m_officialExamRecord);
    layout->addWidget(m_officialExamButton, 0, Qt::AlignLeft);
    layout->addStretch();
    return tab;
}

QWidget *LearnerWindow::createMarathonTab()
{
    auto *tab = new QWidget;
    auto *about = makeLabel(tab, "marathonAbout", true);
    about->setText(
        QStringLiteral("Все вопросы базы подряд в случайном порядке, по одному ответу на вопрос; "
                       "после ошибки — комментарий. Остановиться можно когда угодно: марафон "
                       "продолжится с того же вопроса, даже после перезапуска программы."));
    m_marathonStatus = makeLabel(tab, "marathonStatusLabel", true);
    m_marathonProgress = new QProgressBar(tab);
    m_marathonProgress->setObjectName(QStringLiteral("marathonProgress"));
    m_marathonProgress->setRange(0, QuestionBankLayout::QuestionCount);
    m_marathonProgress->setFormat(QStringLiteral("%v из %m"));
    m_marathonContinueButton = new QPushButton(tab);
    m_marathonContinueButton->setObjectName(QStringLiteral("marathonContinueButton"));
    m_marathonRestartButton = new QPushButton(QStringLiteral("Начать заново"), tab);
    m_marathonRestartButton->setObjectName(QStringLiteral("marathonRestartButton"));
    m_marathonRestartButton->setToolTip(QStringLiteral("Новый марафон в новом случайном порядке"));
    connect(m_marathonContinueButton, &QPushButton::clicked, this, [this] {
        // Continue, or begin when there is nothing to go on with.
        const auto state = m_history.marathon();
        emit marathonRequested(!state || state->position >= state->order.size());
    });
    connect(m_marathonRestartButton, &QPushButton::clicked, this,
            &LearnerWindow::onMarathonRestartClicked);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_marathonContinueButton);
    buttons->addWidget(m_marathonRestartButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(about);
    layout->addWidget(m_marathonStatus);
    layout->addWidget(m_marathonProgress);
    layout->addLayout(buttons);
    layout->addStretch();
    return tab;
}

void LearnerWindow::onMarathonRestartClicked()
{
    const auto state = m_history.marathon();
    const bool underWay = state && state->position > 0 && state->position < state->order.size();
    if (underWay &&
        MessageBoxes::question(this, QStringLiteral("Марафон"),
                               QStringLiteral("Начать марафон заново? Пройдено %1 из %2 — "
                                              "новый марафон пойдёт в новом порядке с начала.")
                                   .arg(state->position)
                                   .arg(state->order.size())) != QMessageBox::Yes)
        return;
    emit marathonRequested(true);
}

void LearnerWindow::refreshMarathon()
{
    const bool available = m_history.isAvailable();
    const auto state = m_history.marathon();
    const int total = QuestionBankLayout::QuestionCount;
    m_marathonProgress->setValue(state ? state->position : 0);
    m_marathonContinueButton->setEnabled(available);
    m_marathonRestartButton->setEnabled(available && state.has_value());
    if (!available) {
        m_marathonStatus->setText(QStringLiteral(
            "Марафон хранит своё место в истории ответов, а она сейчас недоступна."));
        m_marathonContinueButton->setText(QStringLiteral("Начать марафон"));
    } else if (!state || state->position == 0) {
        m_marathonStatus->setText(QStringLiteral("Марафон ещё не начат."));
        m_marathonContinueButton->setText(QStringLiteral("Начать марафон"));
    } else if (state->position >= total) {
        m_marathonStatus->setText(
            QStringLiteral("Марафон пройден: верно %1 из %2.").arg(state->right).arg(total));
        m_marathonContinueButton->setText(QStringLiteral("Новый марафон"));
    } else {
        m_marathonStatus->setText(
            QStringLiteral("Пройдено %1 из %2: верно %3, ошибок %4. Следующий — вопрос %5.")
                .arg(state->position)
                .arg(total)
                .arg(state->right)
                .arg(state->wrong)
                .arg(state->position + 1));
        m_marathonContinueButton->setText(QStringLiteral("Продолжить марафон"));
    }
}

void LearnerWindow::refreshOfficialExamRecord()
{
    // The exams that ended with a verdict; one left for a new start has none.
    int taken = 0;
    int passed = 0;
    bool lastPassed = false;
    if (m_history.isAvailable()) {
        const QList<AttemptRecord> attempts = m_history.store()->attempts(m_history.fingerprint());
        for (const AttemptRecord &attempt : attempts) {
            if (attempt.mode != HistoryMode::OfficialExam || !attempt.result ||
                !attempt.result->passed)
                continue;
            ++taken;
            lastPassed = *attempt.result->passed;
            passed += lastPassed ? 1 : 0;
        }
    }
    if (taken == 0) {
        m_officialExamRecord->setText(
            QStringLiteral("Вы ещё не сдавали экзамен по правилам ГИБДД в этой программе."));
        return;
    }
    m_officialExamRecord->setText(
        QStringLiteral("Сдано экзаменов: %1 из %2. Последний — %3.")
            .arg(passed)
            .arg(taken)
            .arg(lastPassed ? QStringLiteral("сдан") : QStringLiteral("не сдан")));
}

void LearnerWindow::refreshTopics()
{
    const LoadedTopics loaded = loadTopicsFor(m_history.databasePath());
    if (!loaded.topics) {
        m_topicsPage->showNoTopics(QFileInfo(loaded.path).fileName(), loaded.problem);
        return;
    }
    m_topicsPage->setTopics(TopicProgress::compute(
        *loaded.topics, QuestionProgressTable::fromAnswers(m_history.outcomes())));
}

void LearnerWindow::refreshStudyNext()
{
    const StudyNext::Choice &next = m_overview.studyNext;
    m_studyNextButton->setEnabled(!next.questions.isEmpty());
    if (next.questions.isEmpty()) {
        m_studyNextHint->setText(QStringLiteral("Учить нечего: на все вопросы вы отвечаете "
                                                "верно."));
        return;
    }
    m_studyNextHint->setText(
        QStringLiteral("Вопросы, которые сильнее всего поднимут готовность (%1). Если ответить "
                       "на все верно, она станет %2 (сейчас %3).")
            .arg(next.questions.size())
            .arg(chanceText(next.readinessIfRight), chanceText(next.readinessNow)));
}

void LearnerWindow::startRefitIfDue(const QDateTime &now)
{
    if (m_fit.isRunning())
        return;
    const QList<AnswerOutcome> answers = m_history.outcomes();
    if (!LearnerWeights::refitDue(m_history.weightsRecord(), answers, now.toMSecsSinceEpoch()))
        return;
    // The guessing chances the readiness uses now; they come from first
    // answers only, so they do not depend on the weights being fitted.
    const GuessingRate::Estimate &guessing = m_overview.readiness.guessing;
    FsrsFit::GuessChances guess{};
    for (int q = 0; q < QuestionBankLayout::QuestionCount; ++q)
        guess[size_t(q)] = guessing.forVariants(m_history.model().variants[size_t(q)]);
    m_fitFingerprint = m_history.fingerprint();
    m_fitStartedMs = now.toMSecsSinceEpoch();
    m_fitAnswers = int(answers.size());
    m_weights->setText(QStringLiteral("Параметры памяти подбираются по вашей истории…"));
    m_fit.setFuture(QtConcurrent::run([answers, guess] { return FsrsFit::fit(answers, guess); }));
}

void LearnerWindow::onRefitFinished()
{
    // A database switched meanwhile, or the results reset cleared the
    // answers it was fitted to: the fit belongs to a history that is gone.
    if (m_fitFingerprint != m_history.fingerprint() || m_history.outcomes().size() < m_fitAnswers)
        return;
    m_history.keepWeights(LearnerWeights::fromFit(m_fit.result(), m_fitStartedMs, m_fitAnswers));
    if (isVisible())
        refresh();
}

void LearnerWindow::showEvent(QShowEvent *event)
{
    refresh();
    QDialog::showEvent(event);
}

void LearnerWindow::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    refresh();
}

void LearnerWindow::refresh()
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const bool available = m_history.isAvailable();
    const QList<AnswerOutcome> answers = m_history.outcomes();
    m_overview = PreparationOverview::compute(answers, now, zone, m_history.model());
    const QString historyNote = m_history.statusNote();
    m_unavailable->setText(historyNote);
    m_unavailable->setVisible(!historyNote.isEmpty());
    // Said the first time the window shows a database that took over
    // answers, and kept while the window shows that database.
    if (const int carried = m_history.carriedOverNotice(); carried > 0) {
        m_carriedOver->setText(carriedOverMessage(carried));
        m_carriedOverDatabase = m_history.databasePath();
        m_history.acknowledgeCarriedOver();
    }
    m_carriedOver->setVisible(!m_carriedOverDatabase.isEmpty() &&
                              m_carriedOverDatabase == m_history.databasePath());

    m_readiness->setText(QStringLiteral("Готовность к экзамену: %1")
                             .arg(chanceText(m_overview.readiness.passProbability)));
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
        data.percents << (day.answers > day.corrections ? std::optional(day.shareRight() * 100.0)
                                                        : std::nullopt);
    }
    m_chart->setData(data);
    refreshStudyNext();
    m_weights->setVisible(available);
    m_weights->setText(m_fit.isRunning()
                           ? QStringLiteral("Параметры памяти подбираются по вашей истории…")
                           : LearnerWeights::description(m_history.weightsRecord()));
    if (available && !m_readOnly)
        startRefitIfDue(now);
    refreshOfficialExamRecord();
    refreshMarathon();
    refreshTopics();
    // Another learner's history, shown to the instructor: nothing starts
    // from here but the reference.
    if (m_readOnly) {
        for (QPushButton *button : findChildren<QPushButton *>()) {
            if (button->objectName() != QLatin1String("referenceButton"))
                button->setEnabled(false);
        }
    }
    // The texts change their wrapped heights: let the layout take them.
    layout()->activate();
    fitExplanation();
    if (height() < minimumSizeHint().height())
        resize(width(), minimumSizeHint().height());
    ScreenFit::fitToScreen(this);
}

void LearnerWindow::fitExplanation()
{
    // A scroll area's height is whatever the layout leaves it, and beside the
    // tabs that was less than the text: its last line was cut off although
    // the screen had room. Its minimum is therefore the text's height at the
    // area's width, up to the maximum past which it scrolls; the window then
    // grows to it (within the screen).
    const int width = m_explanationArea->viewport()->width();
    const int textHeight = m_explanation->heightForWidth(width > 0 ? width : m_explanation->width());
    m_explanationArea->setMinimumHeight(qMin(textHeight, m_explanationArea->maximumHeight()));
    layout()->activate();
}
