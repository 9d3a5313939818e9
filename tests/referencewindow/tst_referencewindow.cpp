#include "referencewindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

class ReferenceWindowTest : public QObject
{
    Q_OBJECT

private:
    static QByteArray svg(const char *colour)
    {
        return QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\" "
                          "width=\"10\" height=\"10\"><rect width=\"10\" height=\"10\" fill=\"") +
               colour + "\"/></svg>";
    }

    static Reference sample()
    {
        Reference reference;
        reference.signs << ReferenceGroup{
            "Знаки приоритета",
            {{"2.1", "Главная дорога", "Дорога, где вам уступают.", svg("yellow")},
             {"2.4", "Уступите дорогу", "Водитель должен уступить дорогу.", svg("white")}}};
        reference.signs << ReferenceGroup{
            "Запрещающие знаки", {{"3.1", "Въезд запрещён", "Запрещает въезд.", svg("red")}}};
        reference.markings << ReferenceGroup{
            "Горизонтальная разметка",
            {{"1.1", {}, "Сплошная линия.", svg("gray")}, {"1.5", {}, "Прерывистая.", {}}}};
        reference.penalties << Penalty{"12.16 ч. 1", "Несоблюдение знаков", "штраф 500 руб."};
        return reference;
    }

    template <typename T> T *child(const char *name)
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }

    // The entries the list shows, group by group.
    static QStringList shownEntries(QTreeView *list)
    {
        QStringList shown;
        const QAbstractItemModel *model = list->model();
        for (int g = 0; g < model->rowCount(); ++g) {
            const QModelIndex group = model->index(g, 0);
            if (model->rowCount(group) == 0)
                shown << group.data().toString();
            for (int e = 0; e < model->rowCount(group); ++e)
                shown << model->index(e, 0, group).data().toString();
        }
        return shown;
    }

    // Typed as a keyboard would, Cyrillic included (keyClicks takes ASCII).
    static void type(QWidget *widget, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    QString title() { return child<QLabel>("referenceTitle")->text(); }

    std::unique_ptr<ReferenceWindow> m_window;

private slots:
    void init()
    {
        m_window = std::make_unique<ReferenceWindow>();
        m_window->setReference(sample());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void search_byNumberOrWord_findsTheEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("number") << "2.4" << QStringList{"2.4 Уступите дорогу"};
        QTest::newRow("word of the title, any case")
            << "уступите" << QStringList{"2.4 Уступите дорогу"};
        QTest::newRow("word of the description") << "въезд" << QStringList{"3.1 Въезд запрещён"};
        QTest::newRow("group name alone finds nothing") << "приоритета" << QStringList{};
    }

    void search_byNumberOrWord_findsTheEntry()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        auto *search = child<QLineEdit>("referenceSearch");
        type(search, typed);
        QCOMPARE(shownEntries(child<QTreeView>("signList")), expected);
        QCOMPARE(title(), expected.value(0));
        // Enter goes from the search to the list; Esc closes the window.
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), child<QTreeView>("signList"));
        QTest::keyClick(child<QTreeView>("signList"), Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
    }

    void tabs_andArrows_showTheSelectedEntry()
    {
        QCOMPARE(title(), QStringLiteral("2.1 Главная дорога"));
        auto *signs = child<QTreeView>("signList");
        signs->setFocus();
        QTest::keyClick(signs, Qt::Key_Down);
        QCOMPARE(title(), QStringLiteral("2.4 Уступите дорогу"));
        QCOMPARE(child<QLabel>("referenceDescription")->text(),
                 QStringLiteral("Водитель должен уступить дорогу."));

        auto *tabs = child<QTabWidget>("referenceTabs");
        QTabBar *bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(shownEntries(child<QTreeView>("markingList")), (QStringList{"1.1", "1.5"}));
        QCOMPARE(title(), QStringLiteral("1.1"));
        QVERIFY(child<QWidget>("referencePicture")->isVisible());
        // 1.5 has no picture: its text moves up, no empty square above it.
        QTest::keyClick(child<QTreeView>("markingList"), Qt::Key_Down);
        QCOMPARE(title(), QStringLiteral("1.5"));
        QVERIFY(!child<QWidget>("referencePicture")->isVisible());

        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        QCOMPARE(shownEntries(child<QTreeView>("penaltyList")),
                 QStringList{"12.16 ч. 1 — Несоблюдение знаков"});
        QCOMPARE(title(), QStringLiteral("12.16 ч. 1 — Несоблюдение знаков"));
        QVERIFY(child<QLabel>("referenceDescription")->text().contains("штраф 500 руб."));
    }

    void showEntry_selectsItEvenWhenASearchHidesIt()
    {
        type(child<QLineEdit>("referenceSearch"), "3.1");
        QVERIFY(m_window->showEntry(ReferenceKind::Marking, "1.5"));
        QCOMPARE(child<QTabWidget>("referenceTabs")->currentIndex(), 1);
        QCOMPARE(title(), QStringLiteral("1.5"));
        QVERIFY(child<QLineEdit>("referenceSearch")->text().isEmpty());
        QVERIFY(!m_window->showEntry(ReferenceKind::Sign, "5.19.1"));
    }

    void emptyReference_saysWhereOneComesFrom()
    {
        m_window->setReference(Reference());
        QVERIFY(child<QLabel>("referenceEmpty")->isVisible());
        QVERIFY(child<QLabel>("referenceEmpty")->text().contains("Импортировать билеты…"));
        QVERIFY(!child<QLineEdit>("referenceSearch")->isEnabled());
        QVERIFY(!child<QTabWidget>("referenceTabs")->isVisible());
    }

    void noPenalties_theirTabSaysWhereTheyComeFrom()
    {
        Reference withoutFines = sample();
        withoutFines.penalties.clear();
        m_window->setReference(withoutFines);
        auto *tabs = child<QTabWidget>("referenceTabs");
        QTabBar *bar = tabs->tabBar();
        QVERIFY(tabs->isTabEnabled(2));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        QCOMPARE(tabs->currentIndex(), 2);
        QVERIFY(child<QLabel>("referenceNoPenalties")->isVisible());
        QVERIFY(child<QLabel>("referenceNoPenalties")->text().contains("«penalties»"));
        QVERIFY(!child<QTreeView>("penaltyList")->isVisible());
        QVERIFY(title().isEmpty());

        // Fines again: the list, not the note.
        m_window->setReference(sample());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        QVERIFY(child<QTreeView>("penaltyList")->isVisible());
        QVERIFY(!child<QLabel>("referenceNoPenalties")->isVisible());
    }

    // At any interface scale the small pictures have the screen's pixels:
    // twice the logical size at 200 %.
    void icons_drawnAtTheScreensPixels()
    {
        const QModelIndex group = child<QTreeView>("signList")->model()->index(0, 0);
        const QModelIndex entry = group.model()->index(0, 0, group);
        const QIcon icon = entry.data(Qt::DecorationRole).value<QIcon>();
        const qreal ratio = m_window->devicePixelRatioF();
        const QPixmap pixmap = icon.pixmap(QSize(32, 32), ratio);
        QCOMPARE(pixmap.width(), qRound(32 * ratio));
        QCOMPARE(pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 2),
                 QColor("yellow"));
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            QCOMPARE(ratio, 2.0);

        // Markings' wide icons, and a blank one of the same size for an
        // entry without a picture, so that every title starts in one column.
        auto *markings = child<QTreeView>("markingList");
        const QModelIndex markingGroup = markings->model()->index(0, 0);
        for (int row : {0, 1}) {
            const QIcon wide = markings->model()
                                   ->index(row, 0, markingGroup)
                                   .data(Qt::DecorationRole)
                                   .value<QIcon>();
            QVERIFY(!wide.isNull());
            QCOMPARE(wide.pixmap(markings->iconSize(), ratio).size(), markings->iconSize() * ratio);
        }
        QVERIFY(markings->iconSize().width() > 2 * markings->iconSize().height());
    }
};

QTEST_MAIN(ReferenceWindowTest)
#include "tst_referencewindow.moc"
