#pragma once

#include "attemptsetup.h"
#include "databaseopening.h"
#include "examwindowhost.h"
#include "historymode.h"
#include "programpaths.h"
#include "startupsequence.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class AboutWindow;
class AttemptWindow;
class InstanceLock;
class InstructorWindow;
struct InstructorRow;
class KnowledgeGauge;
class LearnerHistory;
class LearnerWindow;
class QDialog;
class QFileDialog;
class QFrame;
class QTemporaryDir;
class QLabel;
class QTimer;
class QToolButton;
class SettingsMenu;
class SettingsStore;
class SplashWindow;
class SyncEngine;
struct ClassroomSettings;
class TicketCatalogue;

// The main window: the banner, the knowledge picture, the ticket catalogue
// with the mode buttons, and the settings menu. Creating it runs the start-up
// sequence (settings, question database, "stat.dat"); when that stops,
// startupFailed() is true and the program must end without showing anything.
// A mode button builds an attempt and hands it to the exam window.
class ReferenceWindow;

class MainWindow : public QWidget, public ExamWindowHost, private StartupHost
{
    Q_OBJECT
public:
    explicit MainWindow(const ProgramPaths &paths = ProgramPaths::standard(),
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    bool startupFailed() const { return m_startupFailed; }
    // Closed by the learner's choice to restart for a new interface scale.
    bool restartRequested() const { return m_restartRequested; }
    // The answer history of the open database, opened now if the window
    // has not painted yet (see openHistoryAfterFirstPaint).
    LearnerHistory &history();
    // The learner signed in at a classroom PC; empty when the classroom is
    // off or nobody signed in.
    QString learnerName() const { return m_learnerName; }
    // The background sync of a classroom PC; null when the classroom is off.
    SyncEngine *classroomSync() const { return m_sync.get(); }
    // «Инструктор»; null until opened from «Класс…».
    InstructorWindow *instructorWindow() const;
    // The learner window the instructor opened; null before.
    LearnerWindow *viewedLearnerWindow() const;
    // "Моя подготовка"; null until first opened.
    LearnerWindow *learnerWindow() const { return m_learnerWindow; }

    // See DatabaseOpening::setOpener.
    static void setDatabaseOpener(DatabaseOpening::Opener opener);

    // The windows created after this one, in their creation order.
    void setCompanions(AttemptWindow *examWindow, KnowledgeGauge *gauge, QDialog *statisticsWindow,
                       SplashWindow *splash, AboutWindow *about);
    // Makes the statistics window when it is first opened, when none was
    // given as a companion.
    void setStatisticsWindowFactory(std::function<QDialog *()> make);
    // Makes the About window when it is first opened, when none was given.
    void setAboutWindowFactory(std::function<AboutWindow *()> make);
    // Makes the exam window for the first attempt, when none was given.
    void setExamWindowFactory(std::function<AttemptWindow *()> make);
    // The exam window, made now if it is still to be made; none without
    // one given or a way to make it.
    AttemptWindow *examWindow();

    // ExamWindowHost
    bool showStatisticsChecked() const override;
    void examWindowClosed() override;
    // The open database's reference, read anew when the file beside it
    // changed; null when it has none.
    const Reference *reference() override;
    void openReferenceEntry(ReferenceKind kind, const QString &number) override;
    // «Справочник», created on first use; null before.
    ReferenceWindow *referenceWindow() const { return m_referenceWindow; }

    bool shuffleAnswersChecked() const;
    // The exam's time limit in seconds from the time items; 0 when none has
    // been chosen.
    int examTimeLimit() const;

    QString databasePath() const { return m_databasePath; }
    // The status icons, index = ticket status.
    const QList<QIcon> &statusIcons() const;
    void setVisible(bool visible) override;

    // Shows the congratulation on or off; public so that tests can drive
    // the blinking without waiting.
    void onBlinkTick();

signals:
    // The user closed the main window: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The window itself: caption, frame, size, font, colours, icon, place.
    // Set before the start-up, whose messages and dialogue it owns.
    void setUpWindow();
    // Its controls, built while the start-up's writes run.
    void createControls();
    void createToolButtons();
    void createLearnerButton();
    void createLearnerWindow();
    // Refreshes launch label, catalogue icons, knowledge picture, selection
    // and blinking; the first call of a run may show the splash or reminder.
    void refresh();
    void startAttempt(AttemptMode mode, int ticket);
    // Hands an attempt to the exam window; `mode` names it in the history
    // when it is not one of the four ticket modes.
    void runAttempt(const AttemptSetup &setup, std::optional<HistoryMode> mode = std::nullopt);
    // Learning over questions the history chose, from the learner window.
    // With `topic`, the set is that topic's questions.
    void startQuestionSet(const QList<int> &questions, HistoryMode mode,
                          const QString &topic = QString());
    void onLearnerClicked();
    // The modes of the learner window beyond the history's question sets.
    void startOfficialExam();
    void startMarathon(bool fresh);
    void startTopic(const QString &topic, const QList<int> &questions);
    void onLearningChosen(int ticket);
    void onPreparationChosen(int ticket);
    void onTrainingChosen(int ticket);
    void onExamChosen();
    void onResetChosen();
    void onDatabaseChoiceChosen();
    // Opens the database at `path` as «Выбрать базу вопросов» does: the
    // settings, the title, the history follow; on failure the database that
    // was open stays. False when it could not be opened.
    bool openDatabase(const QString &path);
    void onImportChosen();
    void onReferenceChosen();
    void ensureReferenceWindow();
    // Puts the open database first in «Недавние базы».
    void rememberRecentDatabase();
    void onAboutChosen();
    void onInterfaceScaleChosen(int percent);
    // The classroom (mainwindowclassroom.cpp): «Кто учится?», which returns
    // the folder of the learner's history (the folder of "stat.dat" when
    // nobody signed in), at start, by «Сменить ученика…» and when «Класс…»
    // turns the classroom on; «Класс…» takes effect at once.
    QString signInToClassroom(const ClassroomSettings &classroom);
    void startClassroomSync(const ClassroomSettings &classroom);
    void showLearnerInTitle();
    // Records from now on into the history in `folder`; the learner window
    // made for the one before is closed and, if it was shown, made anew.
    void useHistoryIn(const QString &folder);
    // True, after telling why, while an attempt runs: its answers belong to
    // the learner who began it.
    bool refuseDuringAttempt();
    void onLearnerSwitchChosen();
    void onClassroomChosen();
    void openInstructorWindow(const ClassroomSettings &classroom);
    void refreshInstructorWindow();
    void openViewedLearner(const InstructorRow &row);
    void onStatisticsClicked();
    void onHelpClicked();
    void onSettingsClicked();
    int launchCount();
    // Shows what the answer history has to say, if anything.
    void showHistoryMessage();
    // The history is opened, its integrity checked and its message shown
    // once the window has painted for the first time: the first paint does
    // not need it. Anything that needs it earlier opens it through history().
    void openHistoryAfterFirstPaint();
    // The file dialog of the question database, created on first use.
    QFileDialog &databaseDialog();

    // StartupHost
    void warn(const QString &text) override;
    void inform(const QString &text) override;
    QString chooseDatabaseFile(const QString &folder) override;
    void applyStoredMarks(const SettingsStore::Startup &stored) override;
    void applyDefaultTimeLimit() override;
    void showDatabaseTitle(const QString &title) override;

    ProgramPaths m_paths;
    std::unique_ptr<SettingsStore> m_settings;
    // The answer history beside "stat.dat", for the open database.
    std::unique_ptr<LearnerHistory> m_history;
    // A classroom PC's sync of the learners' histories to the server.
    std::unique_ptr<SyncEngine> m_sync;
    QString m_learnerName;
    // The instructor's table, the learners' histories pulled for it (in a
    // temporary folder, gone with the window), and the learner window it
    // opened read-only over one of them.
    QPointer<InstructorWindow> m_instructorWindow;
    std::unique_ptr<ClassroomSettings> m_instructorSettings;
    std::unique_ptr<QTemporaryDir> m_instructorFolder;
    std::unique_ptr<LearnerHistory> m_viewedHistory;
    QPointer<LearnerWindow> m_viewedWindow;
    // The folder of "stat.dat": the PC's own history, and the learners'
    // folders beside it.
    QString m_statFolder;
    // The folder of the history while it waits to be opened; empty
    // once it is open (or when the start-up failed).
    QString m_pendingHistoryFolder;
    bool m_historyOpenQueued = false;
    // Held for the whole run: one program per progress file.
    std::unique_ptr<InstanceLock> m_instanceLock;
    QString m_databasePath;
    bool m_firstShowPending = true;
    int m_launchCount = 0;
    bool m_startupFailed = false;
    bool m_restartRequested = false;
    // Preparation or learning, as last chosen; training and exam keep it.
    bool m_preparation = false;

    QPointer<AttemptWindow> m_examWindow;
    QPointer<KnowledgeGauge> m_gauge;
    QPointer<QDialog> m_statisticsWindow;
    std::function<QDialog *()> m_makeStatisticsWindow;
    std::function<AboutWindow *()> m_makeAboutWindow;
    std::function<AttemptWindow *()> m_makeExamWindow;
    QPointer<SplashWindow> m_splash;
    QPointer<AboutWindow> m_about;

    QLabel *m_banner = nullptr;
    QLabel *m_knowledgePicture = nullptr;
    QLabel *m_launchLabel = nullptr;
    QLabel *m_congratulation = nullptr;
    QFrame *m_bannerRule = nullptr;
    TicketCatalogue *m_catalogue = nullptr;
    QToolButton *m_helpButton = nullptr;
    QToolButton *m_statisticsButton = nullptr;
    QToolButton *m_settingsButton = nullptr;
    QToolButton *m_learnerButton = nullptr;
    LearnerWindow *m_learnerWindow = nullptr;
    ReferenceWindow *m_referenceWindow = nullptr;
    Reference m_reference;
    QString m_referenceFor; // the file and its time m_reference was read from
    // The learner window was open when the attempt started: it opens again
    // after it.
    bool m_returnToLearner = false;
    QLabel *m_databaseTitle = nullptr;
    // The database's title as the start-up found it, before the label was made.
    QString m_startupTitle;
    QTimer *m_blinkTimer = nullptr;
    QFileDialog *m_databaseDialog = nullptr;
    SettingsMenu *m_menu = nullptr;
};
