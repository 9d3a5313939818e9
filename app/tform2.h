#pragma once

#include "attemptsetup.h"
#include "examwindowhost.h"
#include "programpaths.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class AttemptWindow;
class QAction;
class QActionGroup;
class QDialog;
class QFileDialog;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;
class SettingsStore;
class TForm3;
class TForm6;
class TForm7;

// The main window: ticket catalogue, knowledge picture, the four mode buttons
// and the settings menu. Creating it runs the start-up sequence (settings,
// question database, "stat.dat"); when that stops, startupFailed() is true and
// the program must end without showing anything.
class TForm2 : public QWidget, public ExamWindowHost
{
    Q_OBJECT
public:
    explicit TForm2(const ProgramPaths &paths = ProgramPaths::standard(),
                    QWidget *parent = nullptr);
    ~TForm2() override;

    bool startupFailed() const { return m_startupFailed; }

    // How the window opens a question database into GlobalQuestionDatabase()
    // and gets its title. Tests wrap it to make an open fail (a readable file
    // cannot be made unreadable for every user); an empty function restores
    // QuestionDatabase::OpenDatabase.
    using DatabaseOpener = std::function<QString(const QString &path)>;
    static void setDatabaseOpener(DatabaseOpener opener);

    // The windows created after this one, in their creation order.
    void setCompanions(AttemptWindow *examWindow, TForm3 *pictures, QDialog *statisticsWindow,
                       TForm6 *splash, TForm7 *about);

    // ExamWindowHost
    bool showStatisticsChecked() const override;
    void examWindowClosed() override;

    bool shuffleAnswersChecked() const;
    // The exam's time limit in seconds from the time items; 0 when none has
    // been chosen.
    int examTimeLimit() const { return m_examTimeLimit; }

    QString databasePath() const { return DatabasePath; }
    // The status icons, index = ticket status.
    const QList<QIcon> &statusIcons() const { return ImageList1; }
    void setVisible(bool visible) override;

    // Refreshes launch label, catalogue icons, knowledge picture, selection
    // and blinking; the first call of a run may show the splash or reminder.
    void FormShow();
    void Timer1Timer();

    void BitBtn1Click();
    void BitBtn4Click();
    void BitBtn2Click();
    void BitBtn3Click();

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

    void N11Click();
    void N31Click();
    void N51Click();
    void N101Click();
    void N151Click();
    void N201Click();
    void N5Click();
    void N6Click();
    void N3Click();
    void N7Click();
    void N4Click();

signals:
    // The user closed the main window: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenu();
    void FormCreate();
    bool openStartupDatabase(bool firstRun);
    static QString openDatabase(const QString &path);
    void fatalStop();
    void applyStoredSettings(int shuffle, int showStatistics, int timeCode);
    void timeItemChosen(int code);
    bool startNeedsTicket(int &ticket);
    void startAttempt(AttemptMode mode, int ticket);
    QString dialogStartFolder(bool firstRun) const;
    void popupMenuAt(const QPoint &globalPos);
    // Kol as the store holds it now; the last known value when the store
    // cannot be read.
    int storedLaunchCount();

    ProgramPaths m_paths;
    std::unique_ptr<SettingsStore> m_settings;
    QString DatabasePath;
    bool FirstShowPending = false;
    int m_launchCount = 0;
    bool m_startupFailed = false;

    int m_examTimeLimit = 0;
    // Preparation or learning, as last chosen; training and exam keep it.
    bool m_preparation = false;

    QPointer<AttemptWindow> m_examWindow;
    QPointer<TForm3> m_pictures;
    QPointer<QDialog> m_statisticsWindow;
    QPointer<TForm6> m_splash;
    QPointer<TForm7> m_about;

    QLabel *Image2;
    QLabel *Image1;
    QLabel *Label8;
    QLabel *Label6;
    QFrame *Bevel4;
    QLabel *Label1;
    QListWidget *ListView1;
    QPushButton *BitBtn3;
    QLabel *Label4;
    QPushButton *BitBtn2;
    QLabel *Label3;
    QPushButton *BitBtn4;
    QLabel *Label2;
    QPushButton *BitBtn1;
    QLabel *Label7;
    QFrame *Bevel1;
    QFrame *Bevel5;
    QFrame *Bevel2;
    QFrame *Bevel3;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton1;
    QLabel *Label5;
    QTimer *Timer1;
    QList<QIcon> ImageList1;
    QFileDialog *OpenDialog1;

    QMenu *PopupMenu1;
    QMenu *TimeMenu;
    QMenu *OptionsMenu;
    QAction *N1;
    QAction *N11;
    QAction *N31;
    QAction *N51;
    QAction *N101;
    QAction *N151;
    QAction *N201;
    QActionGroup *TimeItems;
    QAction *N2;
    QAction *N5;
    QAction *N6;
    QAction *N3;
    QAction *N7;
    QAction *N4;
};
