#include "app/HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace arb;

namespace
{

const QString HelpName = QStringLiteral("任意波说明.html");

void Touch(const QString &path)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

// The three layouts: a build tree or portable copy (beside the program), an
// installation under a prefix (bin/ and share/doc/vxarb/), and a program
// without its document.
TEST(HelpPath, BesideTheProgramComesFirstThenTheInstalledDocumentation)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString besideDoc = bin + QLatin1Char('/') + HelpName;
    const QString installedDoc = root.filePath(QStringLiteral("share/doc/vxarb/")) + HelpName;
    ASSERT_TRUE(QDir().mkpath(bin));

    EXPECT_EQ(HelpDocumentPath(bin), besideDoc)
        << "nothing found: the viewer reports the path beside the program";

    Touch(installedDoc);
    EXPECT_EQ(HelpDocumentPath(bin), installedDoc);
    EXPECT_EQ(HelpDocumentPath(bin + QLatin1Char('/')), installedDoc);

    Touch(besideDoc);
    EXPECT_EQ(HelpDocumentPath(bin), besideDoc);
}

TEST(HelpPath, AFolderOfTheDocumentsNameIsNotTheDocument)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin + QLatin1Char('/') + HelpName));
    const QString installedDoc = root.filePath(QStringLiteral("share/doc/vxarb/")) + HelpName;
    Touch(installedDoc);
    EXPECT_EQ(HelpDocumentPath(bin), installedDoc);
}
