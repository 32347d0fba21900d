#pragma once

#include "core/files/WaveFileReader.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <memory>

class QWidget;

class QAbstractButton;

namespace arb
{

struct MainMenus;

class WaveformHost;

// The file commands of the main window: open a waveform file, save the
// waveform, and add or subtract a stored waveform.
class FileCommands : public QObject
{
    Q_OBJECT
  public:
    explicit FileCommands(WaveformHost &host, QObject *parent = nullptr);

    // Connects the menu items menuFileOpen, menuFileSave, mnuWaveAdd and
    // mnuWaveDec, and the button Command_ArbWaveSave (saveButton); those
    // that are none are left out.
    void connectMenu(const MainMenus &menus, QAbstractButton *saveButton);

    // Dialog filters.
    static QString OpenFilter();    // "波形数据文件(*.txt)|*.txt|波形数据文件(*.arb)|*.arb"
    static QString SaveFilter();    // "波形数据文件(*.arb)|*.arb"
    static QString CombineFilter(); // "波形数据文件(*.txt)|*.txt"

  public slots:
    void menuFileOpen_Click();
    void menuFileSave_Click();
    void mnuWaveAdd_Click();
    void mnuWaveDec_Click();

  private:
    // Asks for a file to read with the filter, checks its ending and opens
    // it; none when cancelled or refused (the refusal is reported).
    std::unique_ptr<QFile> openChosenFile(const QString &filter, const QStringList &endings);
    void combineFile(WaveCombine op);
    void report(const QString &text);
    void reportFailure(WaveReadStatus status);

    WaveformHost &host_;
};

// Message texts of the file commands (title "任意波处理", exclamation icon).
QString FileCommandsTitle();
QString WrongEndingMessage();
QString FileFormatMessage();
QString FileOpenFailedMessage();
QString FileReadFailedMessage();
QString FileCreateFailedMessage();
QString FileWriteFailedMessage();

// Whether path's last four characters are exactly one of the endings.
bool HasFileEnding(const QString &path, const QStringList &endings);

} // namespace arb
