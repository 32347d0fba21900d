#pragma once

#include "app/FormMain.h"
#include "app/HelpViewer.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "tests/support/RecordingVisa.h"
#include "tests/support/ScriptedImportUi.h"
#include "tests/support/ScriptedPrompt.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace arb::test
{

// A help viewer that records what it was asked to open.
class RecordingHelpViewer final : public HelpViewer
{
  public:
    bool open(const QString &path) override
    {
        opened << path;
        return succeed;
    }
    QStringList opened;
    bool succeed = true;
};

// The real main window on a scripted user, a recording help viewer, a VISA
// test double (no instruments unless a test adds them before the window is
// made: use the constructor's setUp) and a fixed work area.
struct WindowFixture {
    explicit WindowFixture(QRect workArea = QRect(0, 0, 1024, 768),
                           const std::function<void(WindowFixture &)> &setUp = {})
    {
        if (setUp)
            setUp(*this);
        FormMainServices s;
        s.document = &document;
        s.prompt = &user;
        s.help = &help;
        s.workArea = workArea;
        s.visa = &visa;
        s.scope = scope;
        s.importExport = &importUi;
        s.settings = &settings;
        s.capture = capture;
        window = std::make_unique<FormMain>(s);
    }

    WaveDocument document;
    // The waveform as the window leaves it.
    const ArbStore &store = document.store();
    ScriptedPrompt user;
    RecordingHelpViewer help;
    RecordingVisa visa;
    // The oscilloscope's port and clock; none: the real ones.
    ScopeCaptureServices scope;
    ScriptedImportUi importUi;
    // "从示波器导入"'s VISA layer and dialogs; none: the window's VISA double
    // and the desktop's dialogs.
    CaptureServices capture;
    // Settings of the test's own, never the user's.
    QTemporaryDir settingsDir;
    QSettings settings{settingsDir.filePath(QStringLiteral("vxarb.conf")), QSettings::IniFormat};
    std::unique_ptr<FormMain> window;
};

} // namespace arb::test
