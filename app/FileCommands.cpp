#include "app/FileCommands.h"

#include "app/MainMenus.h"

#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "core/WaveStep.h"
#include "core/files/SafeFileWrite.h"
#include "core/files/WaveFileWriter.h"
#include "view/UserPrompt.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QStringList>
#include <QWidget>
#include <algorithm>

namespace arb
{

namespace
{

const QString kOpenTitle = QStringLiteral("打开");
const QString kSaveTitle = QStringLiteral("另存为");

QStringList OpenEndings()
{
    return {QStringLiteral(".txt"), QStringLiteral(".TXT"), QStringLiteral(".arb")};
}

QStringList CombineEndings()
{
    return {QStringLiteral(".txt"), QStringLiteral(".TXT")};
}

} // namespace

QString FileCommandsTitle()
{
    return QStringLiteral("任意波处理");
}

QString WrongEndingMessage()
{
    return QStringLiteral("你没有选择数据文件,数据未读入\n请重新打开文件读取数据");
}

QString FileFormatMessage()
{
    return QStringLiteral("文件格式有误！");
}

QString FileOpenFailedMessage()
{
    return QStringLiteral("文件无法打开，数据未读入！");
}

QString FileReadFailedMessage()
{
    return QStringLiteral("文件读取出错，数据未全部读入！");
}

QString FileCreateFailedMessage()
{
    return QStringLiteral("文件无法创建，波形未保存！");
}

QString FileWriteFailedMessage()
{
    return QStringLiteral("文件写入出错，波形未保存！");
}

bool HasFileEnding(const QString &path, const QStringList &endings)
{
    const QString ending = path.right(4);
    return endings.contains(ending, Qt::CaseSensitive);
}

FileCommands::FileCommands(WaveformHost &host, QObject *parent) : QObject(parent), host_(host) {}

QString FileCommands::OpenFilter()
{
    return QStringLiteral("波形数据文件(*.txt)|*.txt|波形数据文件(*.arb)|*.arb");
}

QString FileCommands::SaveFilter()
{
    return QStringLiteral("波形数据文件(*.arb)|*.arb");
}

QString FileCommands::CombineFilter()
{
    return QStringLiteral("波形数据文件(*.txt)|*.txt");
}

void FileCommands::connectMenu(const MainMenus &m, QAbstractButton *saveButton)
{
    const auto onAction = [this](QAction *a, void (FileCommands::*slot)()) {
        if (a)
            connect(a, &QAction::triggered, this, slot);
    };
    onAction(m.menuFileOpen, &FileCommands::menuFileOpen_Click);
    onAction(m.menuFileSave, &FileCommands::menuFileSave_Click);
    onAction(m.mnuWaveAdd, &FileCommands::mnuWaveAdd_Click);
    onAction(m.mnuWaveDec, &FileCommands::mnuWaveDec_Click);
    if (saveButton)
        connect(saveButton, &QAbstractButton::clicked, this, &FileCommands::menuFileSave_Click);
}

void FileCommands::report(const QString &text)
{
    host_.prompt().message(text, FileCommandsTitle(), MessageIcon::Exclamation);
}

void FileCommands::reportFailure(WaveReadStatus status)
{
    // A file that ends too early is passed over in silence.
    if (status == WaveReadStatus::FormatError)
        report(FileFormatMessage());
    else if (status == WaveReadStatus::ReadError)
        report(FileReadFailedMessage());
}

std::unique_ptr<QFile> FileCommands::openChosenFile(const QString &filter, const QStringList &endings)
{
    const std::optional<QString> path = host_.prompt().openFile(kOpenTitle, filter);
    if (!path)
        return nullptr;
    if (!HasFileEnding(*path, endings)) {
        report(WrongEndingMessage());
        return nullptr;
    }
    auto file = std::make_unique<QFile>(*path);
    if (!file->open(QIODevice::ReadOnly)) {
        report(FileOpenFailedMessage());
        return nullptr;
    }
    return file;
}

void FileCommands::menuFileOpen_Click()
{
    WaveDocument &document = host_.document();
    const WaveStep step(document, QStringLiteral("打开"));
    const std::unique_ptr<QFile> chosen = openChosenFile(OpenFilter(), OpenEndings());
    if (!chosen)
        return;
    QFile &file = *chosen;
    DeviceLineSource lines(file);
    WaveFileReader reader(lines);
    WaveFileHeader header;
    WaveReadStatus status = reader.readHeader(header);
    if (status == WaveReadStatus::Ok && !IsOpenableCount(header.count))
        status = WaveReadStatus::FormatError;
    if (status != WaveReadStatus::Ok) {
        file.close();
        reportFailure(status);
        return;
    }

    // The length is taken before the points: a file that fails half-way
    // leaves it, and the points read so far, without a redraw.
    document.setLength(header.count);
    ArbStore next = document.store();
    status = ReadPoints(reader, next, RoundHalfEven(static_cast<double>(header.count)));
    file.close();
    if (status != WaveReadStatus::Ok) {
        document.assign(next);
        reportFailure(status);
        return;
    }

    document.replacePoints(next);
    // After the new waveform, which may itself put the default name back.
    if (header.form == WaveFileForm::Maker20)
        document.setName(
            QString::fromLocal8Bit(header.name.data(), static_cast<qsizetype>(header.name.size())));
}

void FileCommands::menuFileSave_Click()
{
    WaveDocument &document = host_.document();
    const WaveStep step(document, QStringLiteral("保存"));
    const std::optional<QString> path = host_.prompt().saveFile(kSaveTitle, SaveFilter());
    if (!path)
        return;
    // The waveform is brought to full scale in memory as in the file, unless
    // no file could be made; the text is ready before the file is touched.
    // The plot shows the scaled points at its next full redraw.
    ArbStore scaled = document.store();
    ScaleToFullScale(scaled);
    const QByteArray name = document.name().toLocal8Bit();
    const QByteArray length = host_.lengthText().toLocal8Bit();
    const std::string text = SavedWaveText(scaled, std::string_view(name.constData(), name.size()),
                                           std::string_view(length.constData(), length.size()));
    const FileWriteResult result = WriteFileSafely(*path, QByteArray::fromStdString(text));
    if (result == FileWriteResult::CreateFailed) {
        report(FileCreateFailedMessage());
        return;
    }
    document.assign(scaled);
    if (result == FileWriteResult::WriteFailed)
        report(FileWriteFailedMessage());
}

void FileCommands::mnuWaveAdd_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("相加"));
    combineFile(WaveCombine::Add);
}

void FileCommands::mnuWaveDec_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("相减"));
    combineFile(WaveCombine::Subtract);
}

void FileCommands::combineFile(WaveCombine op)
{
    const std::unique_ptr<QFile> chosen = openChosenFile(CombineFilter(), CombineEndings());
    if (!chosen)
        return;
    QFile &file = *chosen;
    DeviceLineSource lines(file);
    WaveFileReader reader(lines);
    WaveFileHeader header;
    WaveReadStatus status = reader.readHeader(header);
    std::optional<int> fileCount;
    if (status == WaveReadStatus::Ok) {
        fileCount = CombinableCount(header.count);
        if (!fileCount)
            status = WaveReadStatus::FormatError;
    }
    if (status != WaveReadStatus::Ok) {
        file.close();
        reportFailure(status);
        return;
    }

    WaveDocument &document = host_.document();
    document.setLength(std::max(document.length(), static_cast<float>(*fileCount)));
    ArbStore next = document.store();
    status = CombinePoints(reader, next, *fileCount, next.LastIndex(), op);
    file.close();
    if (status != WaveReadStatus::Ok) {
        document.assign(next);
        reportFailure(status);
        return;
    }
    document.replacePoints(next);
}

} // namespace arb
