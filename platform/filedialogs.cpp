#include "filedialogs.h"

namespace {

std::optional<QString> &nextFileName()
{
    static std::optional<QString> name;
    return name;
}

std::optional<FileDialogs::Request> &lastRequestStore()
{
    static std::optional<FileDialogs::Request> request;
    return request;
}

} // namespace

QString FileDialogs::getOpenFileName(QFileDialog &dialog)
{
    lastRequestStore() =
        Request{dialog.objectName(), dialog.windowTitle(),
                dialog.nameFilters().join(QStringLiteral(";;")), dialog.directory().absolutePath()};
    if (nextFileName()) {
        const QString name = *nextFileName();
        nextFileName().reset();
        return name;
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void FileDialogs::setNextFileName(const QString &fileName)
{
    nextFileName() = fileName;
}

const std::optional<FileDialogs::Request> &FileDialogs::lastRequest()
{
    return lastRequestStore();
}
