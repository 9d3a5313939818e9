#include "settingsmenu.h"

#include "artresources.h"
#include "bundledpictures.h"
#include "interfacescale.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "scaleatstartup.h"
#include "settingsstore.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>

namespace {

constexpr int Minutes[] = {1, 3, 5, 10, 15, 20};
// The first run's choice, and the choice when the store cannot be used.
constexpr int DefaultTimeCode = 4;

} // namespace

SettingsMenu::SettingsMenu(QWidget *window, SettingsStore &settings)
    : QObject(window), m_settings(settings)
{
    m_menu = new QMenu(window);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));

    QMenu *timeMenu =
        m_menu->addMenu(BundledPictures::icon(ArtResources::glyph(QStringLiteral("menu_time"))),
                        QStringLiteral("Максимальное время экзамена"));
    timeMenu->setObjectName(QStringLiteral("N1Items"));
    timeMenu->menuAction()->setObjectName(QStringLiteral("N1"));
    m_timeGroup = new QActionGroup(window);
    // One or none checked: choosing the checked item clears it.
    m_timeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    struct TimeItem
    {
        const char *name;
        QString caption;
    };
    const TimeItem items[] = {
        {"N11", QStringLiteral("1 минута")},  {"N31", QStringLiteral("3 минуты")},
        {"N51", QStringLiteral("5 минут")},   {"N101", QStringLiteral("10 минут")},
        {"N151", QStringLiteral("15 минут")}, {"N201", QStringLiteral("20 минут")},
    };
    for (int code = 1; code <= int(m_timeItems.size()); ++code) {
        const TimeItem &item = items[code - 1];
        auto *action = new QAction(item.caption, window);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setCheckable(true);
        m_timeGroup->addAction(action);
        timeMenu->addAction(action);
        connect(action, &QAction::triggered, this, [this, code] { onTimeItemChosen(code); });
        m_timeItems[size_t(code - 1)] = action;
    }

    QMenu *optionsMenu =
        m_menu->addMenu(BundledPictures::icon(ArtResources::glyph(QStringLiteral("menu_options"))),
                        QStringLiteral("В режиме обучения и подготовки"));
    optionsMenu->setObjectName(QStringLiteral("N2Items"));
    optionsMenu->menuAction()->setObjectName(QStringLiteral("N2"));
    m_showStatistics = optionsMenu->addAction(QStringLiteral("Показывать статистику"));
    m_showStatistics->setObjectName(QStringLiteral("N5"));
    m_shuffle = optionsMenu->addAction(QStringLiteral("Перемешать варианты ответа"));
    m_shuffle->setObjectName(QStringLiteral("N6"));
    for (QAction *option : {m_showStatistics, m_shuffle}) {
        option->setCheckable(true);
        option->setChecked(true);
    }
    connect(m_showStatistics, &QAction::triggered, this, &SettingsMenu::onShowStatisticsToggled);
    connect(m_shuffle, &QAction::triggered, this, &SettingsMenu::onShuffleToggled);

    createScaleMenu(window);

    const auto addCommand = [this](const char *name, const QString &caption, const QString &glyph,
                                   void (SettingsMenu::*chosen)()) {
        QAction *item =
            m_menu->addAction(BundledPictures::icon(ArtResources::glyph(glyph)), caption);
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, chosen);
        return item;
    };
    addCommand("N3", QStringLiteral("Обнулить результаты и статистику"),
               QStringLiteral("menu_reset"), &SettingsMenu::resetChosen);
    addCommand("N7", QStringLiteral("Выбрать базу вопросов"), QStringLiteral("menu_database"),
               &SettingsMenu::databaseChoiceChosen);
    addCommand("importTickets", QStringLiteral("Импортировать билеты…"),
               QStringLiteral("menu_database"), &SettingsMenu::importChosen);
    m_recentMenu = m_menu->addMenu(QStringLiteral("Недавние базы"));
    m_recentMenu->setObjectName(QStringLiteral("recentMenu"));
    m_recentMenu->menuAction()->setObjectName(QStringLiteral("recentMenuItem"));
    m_recentMenu->setToolTipsVisible(true);
    // Filled as it opens, not before: the settings are read only after the
    // start-up has looked at them.
    connect(m_recentMenu, &QMenu::aboutToShow, this, &SettingsMenu::fillRecentMenu);
    addCommand("referenceItem", QStringLiteral("Справочник"), QStringLiteral("menu_about"),
               &SettingsMenu::referenceChosen);
    // The shortcut works while the menu is closed: the item is the window's too.
    QAction *reference = m_menu->findChild<QAction *>(QStringLiteral("referenceItem"));
    reference->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    window->addAction(reference);
    addCommand("classroomItem", QStringLiteral("Класс…"), QStringLiteral("menu_database"),
               &SettingsMenu::classroomChosen);
    m_switchLearner =
        addCommand("switchLearnerItem", QStringLiteral("Сменить ученика…"),
                   QStringLiteral("menu_database"), &SettingsMenu::learnerSwitchChosen);
    m_switchLearner->setVisible(false);
    addCommand("N4", QStringLiteral("О программе"), QStringLiteral("menu_about"),
               &SettingsMenu::aboutChosen);
}

void SettingsMenu::setLearnerSwitchVisible(bool visible)
{
    m_switchLearner->setVisible(visible);
}

void SettingsMenu::fillRecentMenu()
{
    m_recentMenu->clear();
    QStringList paths;
    try {
        paths = m_settings.recentDatabases();
    } catch (const SettingsError &) {
    }
    int number = 0;
    for (const QString &path : std::as_const(paths)) {
        QString caption;
        QString reason;
        const QString name = QFileInfo(path).fileName();
        if (!QFileInfo(path).isFile()) {
            reason = QStringLiteral("файл не найден");
        } else {
            // Only the title is read; the open database stays as it is.
            QuestionDatabase database;
            try {
                caption = database.openDatabase(path).trimmed();
            } catch (const QuestionBankError &) {
                reason = QStringLiteral("файл не читается как база вопросов");
            }
        }
        if (caption.isEmpty())
            caption = name;
        if (!reason.isEmpty())
            caption = QStringLiteral("%1 — %2").arg(caption, reason);
        QAction *item = m_recentMenu->addAction(caption);
        item->setObjectName(QStringLiteral("recentDatabase%1").arg(++number));
        item->setToolTip(QDir::toNativeSeparators(path));
        item->setEnabled(reason.isEmpty());
        connect(item, &QAction::triggered, this, [this, path] { emit recentDatabaseChosen(path); });
    }
    if (paths.isEmpty()) {
        QAction *none = m_recentMenu->addAction(QStringLiteral("(пока нет)"));
        none->setObjectName(QStringLiteral("recentDatabaseNone"));
        none->setEnabled(false);
    }
}

void SettingsMenu::createScaleMenu(QWidget *window)
{
    QMenu *scaleMenu = m_menu->addMenu(QStringLiteral("Масштаб интерфейса"));
    scaleMenu->setObjectName(QStringLiteral("scaleMenu"));
    scaleMenu->menuAction()->setObjectName(QStringLiteral("scaleMenuItem"));
    scaleMenu->setToolTipsVisible(true);
    auto *group = new QActionGroup(window);
    QList<int> percents{InterfaceScale::Automatic};
    percents += InterfaceScale::choices();
    for (const int percent : percents) {
        const QString caption = percent == InterfaceScale::Automatic
                                    ? QStringLiteral("Автоматически")
                                    : QStringLiteral("%1 %").arg(percent);
        QAction *item = scaleMenu->addAction(caption);
        item->setObjectName(QStringLiteral("scale%1").arg(percent));
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, percent] {
            m_settings.setInterfaceScale(percent);
            emit interfaceScaleChosen(percent);
        });
        m_scaleItems.insert(percent, item);
    }
}

void SettingsMenu::popup(const QPoint &globalPos)
{
    if (QAction *stored = m_scaleItems.value(m_settings.interfaceScale()))
        stored->setChecked(true);
    // A scale at which the windows would not fit this screen is not offered
    // (it would be brought down at the next start anyway).
    const QSize screen = ScaleAtStartup::desktopAvailableSize();
    for (auto it = m_scaleItems.cbegin(); it != m_scaleItems.cend(); ++it) {
        const bool fits = it.key() == InterfaceScale::Automatic || screen.isEmpty() ||
                          InterfaceScale::fits(it.key(), screen);
        it.value()->setEnabled(fits);
        it.value()->setToolTip(
            fits ? QString()
                 : QStringLiteral("При этом масштабе окна программы не поместятся на экране"));
    }
    // A pop-up menu is a window of its own and would take the system's
    // font; it follows the window it belongs to instead, submenus included.
    if (const auto *window = qobject_cast<const QWidget *>(parent())) {
        m_menu->setFont(window->font());
        for (QMenu *submenu : m_menu->findChildren<QMenu *>())
            submenu->setFont(window->font());
    }
    m_menu->popup(globalPos);
}

void SettingsMenu::applyStoredMarks(int shuffle, int showStatistics, int timeCode)
{
    m_shuffle->setChecked(shuffle == 1);
    m_showStatistics->setChecked(showStatistics == 1);
    if (timeCode >= 1 && timeCode <= SettingsStore::TimeCodeCount)
        m_timeItems[size_t(timeCode - 1)]->trigger(); // as if the user had chosen it
}

void SettingsMenu::applyDefaultTimeLimit()
{
    m_timeItems[DefaultTimeCode - 1]->setChecked(true);
    m_examTimeLimit = Minutes[DefaultTimeCode - 1] * 60;
}

bool SettingsMenu::showStatisticsChecked() const
{
    return m_showStatistics->isChecked();
}

bool SettingsMenu::shuffleChecked() const
{
    return m_shuffle->isChecked();
}

void SettingsMenu::onTimeItemChosen(int code)
{
    // The check mark was already flipped by the menu.
    m_examTimeLimit = Minutes[code - 1] * 60;
    m_settings.setTimeCode(code);
}

void SettingsMenu::onShowStatisticsToggled()
{
    m_settings.setShowStatistics(m_showStatistics->isChecked());
}

void SettingsMenu::onShuffleToggled()
{
    m_settings.setShuffle(m_shuffle->isChecked());
}
