// Every tab, menu item and button of every window is named somewhere in the
// built-in help, so that whatever a learner sees can be looked up.
#include "everywindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>

namespace {

// Case, "ё", spacing, accelerators and arrows do not matter.
QString normalized(QString text)
{
    text.remove(QLatin1Char('&'));
    for (const QString &mark :
         {QStringLiteral("◀"), QStringLiteral("▶"), QStringLiteral("…"), QStringLiteral("...")})
        text.remove(mark);
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    text.replace(QStringLiteral("ё"), QStringLiteral("е"));
    text.replace(QStringLiteral("Ё"), QStringLiteral("Е"));
    return text.toLower().simplified();
}

QString helpText()
{
    QString all;
    const QDir pages(QStringLiteral(":/help"));
    for (const QString &name : pages.entryList({QStringLiteral("*.html")})) {
        QFile file(pages.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QTextDocument document;
        document.setHtml(QString::fromUtf8(file.readAll()));
        all += document.toPlainText() + QLatin1Char('\n');
    }
    return normalized(all);
}

void addMenu(const QMenu *menu, const QString &where, QStringList &names)
{
    for (const QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        names << where + QLatin1Char('\t') + action->text();
        if (action->menu())
            addMenu(action->menu(), where, names);
    }
}

// The answer buttons of the exam window are numbered by their glyphs; the
// help describes them without naming each.
bool isAnswerButton(const QString &window, const QAbstractButton *button)
{
    static const QRegularExpression answer(QStringLiteral("^BitBtn[1-5]$"));
    return window == QLatin1String("Form1") && answer.match(button->objectName()).hasMatch();
}

} // namespace

class TestHelpCoverage : public QObject
{
    Q_OBJECT
private slots:
    void everyTabMenuItemAndButton_isNamedInTheHelp();
};

void TestHelpCoverage::everyTabMenuItemAndButton_isNamedInTheHelp()
{
    const QString help = helpText();
    QVERIFY(help.size() > 1000);

    EveryWindow every;
    QVERIFY(every.started());
    QStringList names; // "window<TAB>name<TAB>(objectName)"
    for (QWidget *window : every.windows()) {
        const QString where = window->objectName();
        for (const QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
            if (tabs->window() != window)
                continue;
            for (int i = 0; i < tabs->count(); ++i)
                names << where + QLatin1Char('\t') + tabs->tabText(i);
        }
        for (const QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            // Buttons of windows of their own (a file dialog) are counted
            // with those; Qt's own scroll arrows of a tab bar and the clear
            // button of a search field are no controls of ours.
            if (button->window() != window || qobject_cast<const QTabBar *>(button->parent()) ||
                qobject_cast<const QLineEdit *>(button->parent()) || isAnswerButton(where, button))
                continue;
            const QString text = button->text().isEmpty() ? button->toolTip() : button->text();
            // "OK" only closes its dialog.
            if (text == QLatin1String("OK") || text == QStringLiteral("ОК"))
                continue;
            names << where + QLatin1Char('\t') + text + QStringLiteral("\t(") +
                         button->objectName() + QLatin1Char(')');
        }
        for (const QMenu *menu : window->findChildren<QMenu *>())
            addMenu(menu, where, names);
    }
    QVERIFY(names.size() > 40);

    QStringList missing;
    for (const QString &entry : std::as_const(names)) {
        const QString name = normalized(entry.section(QLatin1Char('\t'), 1, 1));
        if (name.isEmpty() || !help.contains(name))
            missing << entry;
    }
    missing.removeDuplicates();
    QVERIFY2(missing.isEmpty(),
             qPrintable(QStringLiteral("not in the help:\n") + missing.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestHelpCoverage)
#include "tst_helpcoverage.moc"
