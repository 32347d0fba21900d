#pragma once

#include "app/CaptureCommand.h"
#include "app/LayoutScale.h"
#include "app/MainControls.h"
#include "app/MainMenus.h"
#include "app/MainToolBar.h"
#include "app/ScopeCapture.h"
#include "app/WaveformHost.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>

class QSettings;

namespace arb
{

namespace visa
{
class VisaApi;
}

class AboutWindow;
class CaptureUi;
class FileCommands;
class ImportExportCommands;
class ImportExportUi;
class LengthField;
class NameField;
class PointEntry;
class ShapeCommands;
class UndoCommands;
class WaveCommands;
class FreehandDrawing;
class GeneratorLink;
class HelpViewer;
class MainStatusBar;
class WaveView;
class ZoomField;

// What the main window is given from outside: the waveform document, the
// user, the help viewer and the screen's work area (empty: the primary
// screen's).
struct FormMainServices {
    WaveDocument *document = nullptr;
    UserPrompt *prompt = nullptr;
    HelpViewer *help = nullptr;
    QRect workArea;
    // The VISA layer; none: the platform's library, or the built-in
    // usbtmc backend when there is none.
    visa::VisaApi *visa = nullptr;
    // The oscilloscope's port, clock, port names and VISA layer; defaults:
    // the real ones, and the generator's VISA layer.
    ScopeCaptureServices scope;
    // The import and export dialogs; none: the desktop's.
    ImportExportUi *importExport = nullptr;
    // What the dialogs remember between runs; none: the user's own settings
    // of the program.
    QSettings *settings = nullptr;
    // "从示波器导入": its VISA layer (none: the generator's) and dialogs.
    CaptureServices capture;
};

// The program's main window. It builds the controls, wires the commands to
// the parts that carry them out, and runs the start-up and shut-down steps.
class FormMain : public QMainWindow, public WaveformHost
{
    Q_OBJECT
  public:
    explicit FormMain(const FormMainServices &services, QWidget *parent = nullptr);
    ~FormMain() override;

    // WaveformHost
    WaveDocument &document() override { return document_; }
    UserPrompt &prompt() override { return prompt_; }
    QString lengthText() const override;
    void showLengthText(const QString &text) override;
    void commitLength() override;

    const MainControls &controls() const { return c_; }
    WaveView &view() { return *view_; }
    const LayoutFactors &layoutFactors() const { return factors_; }
    bool InstrConnected() const;
    GeneratorLink &generatorLink() { return *link_; }
    ScopeCapture &scopeCapture() { return *scope_; }
    CaptureCommand &captureCommand() { return *capture_; }
    PointEntry &pointEntry() { return *pointEntry_; }
    NameField &nameField() { return *nameField_; }
    UndoCommands &undoCommands();
    QSettings &settings() { return *settings_; }

    const MainMenus &menus() const { return menus_; }
    const ToolBarActions &toolBar() const { return toolBar_; }
    // Clicks the tool bar's button of key; an unknown key does nothing.
    void Toolbar1_ButtonClick(const QString &key);
    void mnuArbClear_Click();
    // "全部显示": the view back to the whole waveform, drawn in full; and, as
    // every full redraw of the waveform does, a changed name back to the
    // default.
    void mnuArbZoomNo_Click();

  protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void Form_Load();
    void Form_Unload();
    void wireCommands();
    void wireUndo();
    // "波形输出" of the tool bar: the download, once the generator is
    // connected.
    void waveOut();
    void menuHelp_Click();
    void menuArbAbout_Click();
    void focusCanvas();

    WaveDocument &document_;
    UserPrompt &prompt_;
    HelpViewer &help_;
    QRect workArea_;
    LayoutFactors factors_;
    MainControls c_;
    MainMenus menus_;
    ToolBarActions toolBar_;
    QWidget *client_ = nullptr;
    MainStatusBar *status_ = nullptr;
    WaveView *view_ = nullptr;
    ZoomField *zoomField_ = nullptr;
    FreehandDrawing *drawing_ = nullptr;
    std::unique_ptr<visa::VisaApi> ownedVisa_;
    GeneratorLink *link_ = nullptr;
    ScopeCapture *scope_ = nullptr;
    FileCommands *files_ = nullptr;
    std::unique_ptr<ImportExportUi> ownedImportExportUi_;
    std::unique_ptr<CaptureUi> ownedCaptureUi_;
    CaptureCommand *capture_ = nullptr;
    ImportExportCommands *importExport_ = nullptr;
    WaveCommands *waves_ = nullptr;
    ShapeCommands *shapes_ = nullptr;
    LengthField *lengthField_ = nullptr;
    PointEntry *pointEntry_ = nullptr;
    NameField *nameField_ = nullptr;
    std::unique_ptr<QSettings> ownedSettings_;
    QSettings *settings_ = nullptr;
    QPointer<AboutWindow> about_;
    QPointer<UndoCommands> undo_;
};

} // namespace arb
