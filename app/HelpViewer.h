#pragma once

#include <QString>

namespace arb
{

// Opens the program's help document in the platform's viewer.
class HelpViewer
{
  public:
    virtual ~HelpViewer() = default;
    // False when no viewer could be started.
    virtual bool open(const QString &path) = 0;
};

// The desktop's handler for HTML documents.
class DesktopHelpViewer final : public HelpViewer
{
  public:
    bool open(const QString &path) override;
};

// The help document of the program in programDir: beside it (a build tree, a
// portable copy) or else in the documentation folder of an installation,
// ../share/doc/vxarb/. When neither exists, the path beside the program, so
// that the viewer reports the missing file.
QString HelpDocumentPath(const QString &programDir);
// The same for the running program.
QString HelpDocumentPath();

} // namespace arb
