#include "app/HelpViewer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace arb
{

bool DesktopHelpViewer::open(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString HelpDocumentPath(const QString &programDir)
{
    const QString name = QStringLiteral("任意波说明.html");
    const QDir dir(programDir);
    const QString beside = dir.filePath(name);
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed = QDir::cleanPath(dir.filePath(QStringLiteral("../share/doc/vxarb/") + name));
    if (QFileInfo(installed).isFile())
        return installed;
    return beside;
}

QString HelpDocumentPath()
{
    return HelpDocumentPath(QCoreApplication::applicationDirPath());
}

} // namespace arb
