#include "app/HelpViewer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace arb
{

bool DesktopHelpViewer::open(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString HelpDocumentPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("任意波说明.html"));
}

} // namespace arb
