#include "app/FormMain.h"

#include "app/AboutWindow.h"
#include "app/Accessibility.h"
#include "app/CaptureUi.h"
#include "app/EquationCommand.h"
#include "app/FileCommands.h"
#include "app/GeneratorLink.h"
#include "app/HelpViewer.h"
#include "app/ImportExportCommands.h"
#include "app/LengthField.h"
#include "app/MainMenus.h"
#include "app/MainStatusBar.h"
#include "app/MainToolBar.h"
#include "app/NameField.h"
#include "app/PointEntry.h"
#include "app/QtCaptureUi.h"
#include "app/QtImportExportUi.h"
#include "app/Resources.h"
#include "app/ShapeCommands.h"
#include "app/SvgIcon.h"
#include "app/UndoCommands.h"
#include "app/WaveCommands.h"
#include "core/ArbStore.h"
#include "core/LengthRule.h"
#include "core/WaveDocument.h"
#include "core/WaveStep.h"
#include "link/visa/PlatformVisa.h"
#include "view/FreehandDrawing.h"
#include "view/PlotCanvas.h"
#include "view/UserPrompt.h"
#include "view/WaveView.h"
#include "view/ZoomField.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace arb
{

FormMain::FormMain(const FormMainServices &services, QWidget *parent)
    : QMainWindow(parent), document_(*services.document), prompt_(*services.prompt), help_(*services.help),
      workArea_(services.workArea), settings_(services.settings)
{
    if (!settings_) {
        ownedSettings_ = std::make_unique<QSettings>();
        settings_ = ownedSettings_.get();
    }
    InitResources();
    InstallAccessibilityFactory();
    setObjectName(QStringLiteral("formMain"));
    setWindowTitle(QStringLiteral("VX48250系列任意波生成软件（V" ARB_VERSION "）"));
    setWindowIcon(SvgIcon(QStringLiteral(":/icons/vxarb.svg")));

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("formMainClient"));
    setCentralWidget(client_);
    c_ = BuildMainControls(client_);
    menus_ = BuildMainMenus(menuBar());
    toolBar_ =
        BuildToolBarButtons(c_.Toolbar1, menus_, [this] { c_.Picture_Arb->setCursor(Qt::ArrowCursor); });
    status_ = new MainStatusBar(statusBar());

    WaveView::Widgets w;
    w.canvas = c_.Picture_Arb;
    w.scroll = c_.HScroll_XZoom;
    w.zoomField = c_.txtScale;
    w.valueLabels = c_.Label_Y_coordinate;
    w.indexLabels = c_.Label_X_coordinate;
    w.currentX = c_.LblArbCurrentXPoint;
    w.currentY = c_.LblArbCurrentYPoint;
    view_ = new WaveView(document_, w, this);
    zoomField_ = new ZoomField(c_.txtScale);
    drawing_ = new FreehandDrawing(document_, c_.Picture_Arb, view_, this);

    visa::VisaApi *visaApi = services.visa;
    if (!visaApi) {
        ownedVisa_ = visa::OpenPlatformVisa();
        visaApi = ownedVisa_.get();
    }
    link_ = new GeneratorLink(c_, *this, *visaApi, this);
    ScopeCaptureServices scopeServices = services.scope;
    if (!scopeServices.visa)
        scopeServices.visa = visaApi;
    scope_ = new ScopeCapture(c_, *this, scopeServices, this);
    files_ = new FileCommands(*this, this);
    files_->connectMenu(menus_, c_.Command_ArbWaveSave);
    ImportExportUi *importExportUi = services.importExport;
    if (!importExportUi) {
        ownedImportExportUi_ = std::make_unique<QtImportExportUi>(this);
        importExportUi = ownedImportExportUi_.get();
    }
    importExport_ = new ImportExportCommands(*this, *importExportUi, this);
    importExport_->connectMenu(menus_);
    CaptureUi *captureUi = services.capture.ui;
    if (!captureUi) {
        ownedCaptureUi_ = std::make_unique<QtCaptureUi>(this);
        captureUi = ownedCaptureUi_.get();
    }
    visa::VisaApi *captureVisa = services.capture.visa ? services.capture.visa : visaApi;
    capture_ = new CaptureCommand(*this, *importExportUi, *captureUi, *captureVisa, *settings_, this);
    connect(menus_.menuFileCapture, &QAction::triggered, capture_, &CaptureCommand::menuFileCapture_Click);
    waves_ = new WaveCommands(*this, this);
    waves_->connectMenu(menus_);
    (new EquationCommand(*this, *settings_, this))->connectMenu(menus_);
    shapes_ = new ShapeCommands(*this, *settings_, this, this);
    shapes_->connectMenu(menus_);
    lengthField_ = new LengthField(c_, *this, this);
    pointEntry_ = new PointEntry(c_, *this, this);
    nameField_ = new NameField(c_, document_, prompt_, this);
    link_->setNameChangedSource([this] { return document_.NameChanged(); });

    client_->installEventFilter(this);
    c_.Toolbar1->installEventFilter(this);
    c_.Toolbar1->setMouseTracking(true);
    for (const QString &key : ToolBarKeys()) {
        if (QWidget *b = c_.Toolbar1->widgetForAction(toolBar_.byKey(key))) {
            b->installEventFilter(this);
            b->setMouseTracking(true);
        }
    }

    wireCommands();
    Form_Load();
    wireUndo();
}

FormMain::~FormMain()
{
    // A USB conversation of the oscilloscope may still use the VISA layer,
    // which goes before the window's children.
    scope_->shutDown();
    // The controls go after this body, and a field that still holds the
    // focus then loses it: the parts that commit the fields go first, so
    // that no commit reaches a window already half gone.
    delete lengthField_;
    delete pointEntry_;
    delete nameField_;
}

void FormMain::wireCommands()
{
    const MainMenus &m = menus_;
    connect(m.menuFileExit, &QAction::triggered, this, &FormMain::close);
    connect(c_.Command_Exit, &QPushButton::clicked, this, &FormMain::close);
    connect(m.mnuArbZoomin, &QAction::triggered, view_, &WaveView::mnuArbZoomin_Click);
    connect(m.mnuArbZoomout, &QAction::triggered, view_, &WaveView::mnuArbZoomout_Click);
    connect(m.mnuArbZoomNo, &QAction::triggered, this, &FormMain::mnuArbZoomNo_Click);
    connect(m.mnuArbClear, &QAction::triggered, this, &FormMain::mnuArbClear_Click);
    connect(c_.Command_ArbWaveClear, &QPushButton::clicked, this, &FormMain::mnuArbClear_Click);
    connect(m.menuHelp, &QAction::triggered, this, &FormMain::menuHelp_Click);
    connect(m.menuArbAbout, &QAction::triggered, this, &FormMain::menuArbAbout_Click);
    connect(m.mnuArbLength, &QAction::triggered, lengthField_, &LengthField::mnuArbLength_Click);
    connect(m.mnuArbLineDraw, &QAction::triggered, pointEntry_, &PointEntry::mnuArbLineDraw_Click);
    connect(m.mnuArbDraw, &QAction::triggered, this, [this] { c_.Picture_Arb->setCursor(Qt::CrossCursor); });
    connect(toolBar_.Waveout, &QAction::triggered, this, &FormMain::waveOut);
}

void FormMain::wireUndo()
{
    // The waveform as start-up left it is the base of the first step.
    undo_ = new UndoCommands(menus_.mnuArbUndo, menus_.mnuArbRedo, TextFields(c_), *this, this);
    undo_->setTransferSource([this] { return link_->downloading(); });
    connect(link_, &GeneratorLink::downloadingChanged, undo_, &UndoCommands::refresh);
    connect(drawing_, &FreehandDrawing::strokeStarted, undo_, &UndoCommands::beginStroke);
    connect(drawing_, &FreehandDrawing::strokeEnded, undo_, &UndoCommands::endStroke);
    connect(scope_, &ScopeCapture::traceReadStarted, undo_, &UndoCommands::beginCapture);
    connect(scope_, &ScopeCapture::traceReadEnded, undo_, &UndoCommands::endCapture);
}

void FormMain::Form_Load()
{
    // 2. Scale to the screen's work area.
    QRect area = workArea_;
    if (area.isEmpty()) {
        if (QScreen *screen = QGuiApplication::primaryScreen())
            area = screen->availableGeometry();
        else
            area = QRect(0, 0, 1024, 768);
    }
    factors_ = ComputeLayoutFactors(area.width(), area.height());
    LayoutScale(this, factors_, true);
    setFixedSize(size());
    status_->setLastPanelWidth(width());
    view_->setLayoutFactors(factors_.ScaleX, factors_.ScaleY);

    // 3. The length field shows the document's length, 201 at start
    // (LengthField).

    // 4. The view shows the whole waveform.
    view_->setView(0, RoundHalfEven(document_.length()));

    // 5. The segment fields' design texts give the segment.
    pointEntry_->startUp();

    // 6. The canvas and its scale. Its grid is drawn once, by the full
    // redraw of step 10, which clears the canvas first anyway.
    c_.Picture_Arb->setVisible(true);
    view_->SetPlotScale();

    // 7. The download progress bar is shown only while sending.
    c_.PbrSend->setVisible(false);

    // 8. The slot number and its scroll bar.
    nameField_->startUp();

    // 9. Panning.
    c_.HScroll_XZoom->setMinimum(0);
    c_.HScroll_XZoom->setMaximum(RoundHalfEven(document_.length() - static_cast<float>(view_->ViewCount())));
    c_.HScroll_XZoom->setSingleStep(1);
    c_.HScroll_XZoom->setPageStep(1);

    // 10.
    mnuArbZoomNo_Click();

    // 11-12: the oscilloscope link's defaults.
    scope_->setStartUpValues();
    // 15, the oscilloscope's half: its default entries.
    scope_->selectDefaultEntries();
    // 13-16: the instruments found, the generator's serial defaults, the
    // interface selection and the download state.
    link_->startUp();
    // The oscilloscope's port list offers what that one find reported.
    scope_->listUsbInstruments(link_->foundInstruments());
}

void FormMain::Form_Unload()
{
    link_->shutDown();
    scope_->shutDown();
}

void FormMain::closeEvent(QCloseEvent *event)
{
    // While About is open the main window takes no input: a close request
    // from the window manager is refused too, and About comes to the front.
    if (about_ && about_->isVisible()) {
        event->ignore();
        about_->raise();
        about_->activateWindow();
        return;
    }
    Form_Unload();
    event->accept();
}

bool FormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == client_ && event->type() == QEvent::MouseButtonPress) {
        // A click on the window's own background ends any edit in progress.
        focusCanvas();
        return false;
    }
    if (watched != client_ && (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter ||
                               event->type() == QEvent::HoverMove)) {
        // Moving onto the tool bar commits the field being edited before a
        // button is clicked.
        focusCanvas();
    }
    return false;
}

void FormMain::focusCanvas()
{
    if (isEnabled() && !c_.Picture_Arb->hasFocus())
        c_.Picture_Arb->setFocus(Qt::MouseFocusReason);
}

void FormMain::mnuArbZoomNo_Click()
{
    document_.resetChangedName();
    view_->DrawWaveAll();
}

void FormMain::mnuArbClear_Click()
{
    const WaveStep step(document_, QStringLiteral("清除波形"));
    ArbStore cleared = document_.store();
    cleared.ClearPoints();
    document_.replacePoints(cleared);
}

QString FormMain::lengthText() const
{
    return c_.Text_Arb_Length->text();
}

void FormMain::showLengthText(const QString &text)
{
    c_.Text_Arb_Length->setText(text);
}

void FormMain::commitLength()
{
    const WaveStep step(document_, QStringLiteral("设置波形点数"));
    const float old = document_.length();
    const LengthCommit result = CommitLengthText(c_.Text_Arb_Length->text());
    if (result.outOfRange)
        prompt_.message(LengthRangeMessage(), QString(), MessageIcon::Critical);
    // The field shows the length taken, which drops leading zeros and shows
    // a bound for a length out of range.
    document_.setLength(result.length);
    if (document_.length() != old)
        mnuArbClear_Click();
}

UndoCommands &FormMain::undoCommands()
{
    return *undo_;
}

bool FormMain::InstrConnected() const
{
    return link_->InstrConnected();
}

void FormMain::Toolbar1_ButtonClick(const QString &key)
{
    // An unknown key (they compare case-sensitively) only resets the
    // cursor, as every click of the bar does first.
    if (QAction *button = toolBar_.byKey(key))
        button->trigger();
    else
        c_.Picture_Arb->setCursor(Qt::ArrowCursor);
}

void FormMain::waveOut()
{
    if (!InstrConnected()) {
        prompt_.message(QStringLiteral("没有与仪器连接，连接后发送！"), QStringLiteral("提示信息"),
                        MessageIcon::Information);
        return;
    }
    link_->download();
}

void FormMain::menuHelp_Click()
{
    if (!help_.open(HelpDocumentPath()))
        prompt_.message(QStringLiteral("无法打开帮助文档：") + HelpDocumentPath(), QString(),
                        MessageIcon::Exclamation);
}

void FormMain::menuArbAbout_Click()
{
    about_ = AboutWindow::showFor(this);
}

} // namespace arb
