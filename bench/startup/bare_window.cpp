// The least a Qt Widgets program does to show a window: the yardstick the
// program's start-up is measured against. It honours the same variable as
// the program (QuitOnFirstPaint), written out here so that this executable
// links Qt Widgets and nothing of ours.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace {

class QuitOnPaint : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_quitting) {
            m_quitting = true;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    // What the program queued after its first paint is not part
                    // of the start-up that is measured.
                    QCoreApplication::removePostedEvents(nullptr);
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_quitting = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(722, 448);
    auto *label = new QLabel(QStringLiteral("Зелтрак ПДД"), &window);
    label->move(16, 16);
    QuitOnPaint quit;
    if (qEnvironmentVariableIsSet("ZELTRAK_QUIT_AFTER_FIRST_PAINT"))
        window.installEventFilter(&quit);
    window.show();
    return QApplication::exec();
}
