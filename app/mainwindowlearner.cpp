// The main window's way into the learner's own path: the "Моя подготовка"
// button, its window, and the attempts over the questions it chooses.
#include "mainwindow.h"

#include "attemptwindow.h"
#include "learnerhistory.h"
#include "learnerwindow.h"
#include "questionindexentry.h"

#include <QKeySequence>
#include <QToolButton>

void MainWindow::createLearnerButton()
{
    // The one free strip of the window: right of the catalogue's heading,
    // above the list. It takes no focus, so the tab order stays as it was.
    m_learnerButton = new QToolButton(this);
    m_learnerButton->setObjectName(QStringLiteral("learnerButton"));
    m_learnerButton->setText(QStringLiteral("Моя подготовка"));
    m_learnerButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    m_learnerButton->setToolTip(
        QStringLiteral("Моя подготовка (%1)")
            .arg(m_learnerButton->shortcut().toString(QKeySequence::NativeText)));
    m_learnerButton->setFocusPolicy(Qt::NoFocus);
    m_learnerButton->setGeometry(264, 217, 121, 15);
    connect(m_learnerButton, &QToolButton::clicked, this, &MainWindow::onLearnerClicked);
}

void MainWindow::createLearnerWindow()
{
    // Created on first use: the program's windows at start-up stay the
    // seven they have always been.
    m_learnerWindow = new LearnerWindow(history(), this);
    m_learnerWindow->setWindowFlag(Qt::Window);
    connect(m_learnerWindow, &LearnerWindow::mistakesRequested, this,
            [this](const QList<int> &questions) {
                startQuestionSet(questions, HistoryMode::Mistakes);
            });
    connect(
        m_learnerWindow, &LearnerWindow::reviewRequested, this,
        [this](const QList<int> &questions) { startQuestionSet(questions, HistoryMode::Review); });
    // The questions that raise the readiness most are reviews in the memory
    // model's sense, so they are recorded as the spaced review's answers.
    connect(
        m_learnerWindow, &LearnerWindow::studyNextRequested, this,
        [this](const QList<int> &questions) { startQuestionSet(questions, HistoryMode::Review); });
    connect(m_learnerWindow, &LearnerWindow::officialExamRequested, this,
            &MainWindow::startOfficialExam);
    connect(m_learnerWindow, &LearnerWindow::marathonRequested, this, &MainWindow::startMarathon);
    connect(m_learnerWindow, &LearnerWindow::topicRequested, this, &MainWindow::startTopic);
    connect(m_learnerWindow, &LearnerWindow::referenceRequested, this,
            &MainWindow::onReferenceChosen);
}

void MainWindow::startOfficialExam()
{
    if (!examWindow())
        return;
    AttemptSetup setup;
    setup.mode = AttemptMode::OfficialExam;
    setup.shuffleVariants = shuffleAnswersChecked();
    runAttempt(setup, HistoryMode::OfficialExam);
}

void MainWindow::startMarathon(bool fresh)
{
    if (!examWindow())
        return;
    std::optional<MarathonState> state = history().marathon();
    if (fresh || !state || state->position >= state->order.size())
        state = history().beginMarathon();
    // Without a history there is no place to keep: the learner window
    // offers no marathon then.
    if (!state)
        return;
    AttemptSetup setup;
    setup.mode = AttemptMode::Marathon;
    setup.questions = state->order;
    setup.startIndex = state->position;
    setup.rightSoFar = state->right;
    setup.wrongSoFar = state->wrong;
    setup.shuffleVariants = shuffleAnswersChecked();
    runAttempt(setup, HistoryMode::Marathon);
}

void MainWindow::startTopic(const QString &topic, const QList<int> &questions)
{
    startQuestionSet(questions, HistoryMode::Topic, topic);
}

void MainWindow::startQuestionSet(const QList<int> &questions, HistoryMode mode,
                                  const QString &topic)
{
    if (!examWindow() || questions.isEmpty())
        return;
    AttemptSetup setup;
    setup.mode = AttemptMode::Learning;
    setup.questions = questions;
    setup.topicName = topic;
    setup.ticket = QuestionBankLayout::ticketOf(questions.first());
    setup.shuffleVariants = shuffleAnswersChecked();
    runAttempt(setup, mode);
}

void MainWindow::onLearnerClicked()
{
    if (!m_learnerWindow)
        createLearnerWindow();
    m_learnerWindow->show();
    m_learnerWindow->raise();
    m_learnerWindow->activateWindow();
}
