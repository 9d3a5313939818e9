#include "zeltrakapplication.h"

#include "artresources.h"
#include "bundledpictures.h"
#include "designfonts.h"
#include "helpviewer.h"
#include "messageboxes.h"
#include "programinfo.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <exception>

ZeltrakApplication::ZeltrakApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // The title shown by the desktop is ProgramInfo::Title; the display name
    // stays unset because Qt would append it to every window caption.
    setApplicationName(QStringLiteral("zeltrak"));
    setDesktopFileName(QStringLiteral("zeltrak"));
    setWindowIcon(BundledPictures::icon(ArtResources::programIcon()));
    DesignFonts::installSubstitutions();
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman"),
        {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    HelpViewer::install();

    // The program speaks Russian whatever the system's language, so Qt's own
    // dialogs (file dialog, message box buttons) do too when Qt's
    // translations are installed.
    auto *translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

bool ZeltrakApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString text = exceptionText(std::current_exception());
        MessageBoxes::error(activeWindow(), QString::fromUtf8(ProgramInfo::Title), text);
        return false;
    }
}

QString ZeltrakApplication::exceptionText(const std::exception_ptr &exception)
{
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception &e) {
        // Our own exceptions carry their Russian text as UTF-8.
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Неизвестная ошибка.");
    }
}
