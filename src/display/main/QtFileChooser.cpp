#include "display/main/QtFileChooser.h"

#include <QFileDialog>

QString QtFileChooser::QtFilter(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(u';', u' '));
    return entries.join(QStringLiteral(";;"));
}

std::optional<QString> QtFileChooser::ChooseFile(const FileDialogRequest& request)
{
    const QString filter = QtFilter(request.filter);
    QString path;
    if (request.save) {
        const QFileDialog::Options options =
            request.promptOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite;
        path = QFileDialog::getSaveFileName(parent_, request.title, QString(), filter, nullptr, options);
    } else {
        path = QFileDialog::getOpenFileName(parent_, request.title, QString(), filter);
    }
    if (path.isEmpty())
        return std::nullopt;
    return path;
}
