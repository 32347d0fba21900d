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

// The help document beside the program.
QString HelpDocumentPath();

} // namespace arb
