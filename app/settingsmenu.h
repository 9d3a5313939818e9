#pragma once

#include <QHash>
#include <QObject>

#include <array>

class QAction;
class QActionGroup;
class QMenu;
class QPoint;
class QWidget;
class SettingsStore;

// The main window's settings menu: the exam's time limit, the two options of
// learning and preparation, and the commands to reset the progress, choose
// another database, import tickets, reopen a recent database and read About.
// Marks the user sets are stored at once; the commands are the window's to
// carry out.
class SettingsMenu : public QObject
{
    Q_OBJECT
public:
    // The menu and its items belong to `window`, where they can be found by
    // their names.
    SettingsMenu(QWidget *window, SettingsStore &settings);

    void popup(const QPoint &globalPos);

    // Sets the marks from the stored settings; a stored time code chooses
    // its item as the user would.
    void applyStoredMarks(int shuffle, int showStatistics, int timeCode);
    // The store cannot be used: ten minutes, as on a first run.
    void applyDefaultTimeLimit();

    // In seconds; 0 until a time item is chosen.
    int examTimeLimit() const { return m_examTimeLimit; }
    bool showStatisticsChecked() const;
    bool shuffleChecked() const;
    // «Сменить ученика…» is there only on a classroom PC.
    void setLearnerSwitchVisible(bool visible);

signals:
    void resetChosen();
    void databaseChoiceChosen();
    void importChosen();
    // A database of «Недавние базы», by its full path.
    void recentDatabaseChosen(const QString &path);
    void aboutChosen();
    // «Справочник» (also Ctrl+R in the window).
    void referenceChosen();
    // «Класс…»: the classroom's server and this PC's part in it.
    void classroomChosen();
    // «Сменить ученика…»: the next learner sits down at a classroom PC.
    void learnerSwitchChosen();
    // A scale (InterfaceScale) was chosen and stored.
    void interfaceScaleChosen(int percent);

private:
    void onTimeItemChosen(int code);
    void onShowStatisticsToggled();
    void onShuffleToggled();
    void createScaleMenu(QWidget *window);
    // Fills «Недавние базы» from the settings as it opens.
    void fillRecentMenu();

    SettingsStore &m_settings;
    int m_examTimeLimit = 0;

    QMenu *m_menu = nullptr;
    QActionGroup *m_timeGroup = nullptr;
    std::array<QAction *, 6> m_timeItems{}; // 1, 3, 5, 10, 15, 20 minutes
    QAction *m_showStatistics = nullptr;
    QAction *m_shuffle = nullptr;
    QHash<int, QAction *> m_scaleItems; // by percent, Automatic included
    QMenu *m_recentMenu = nullptr;
    QAction *m_switchLearner = nullptr;
};
