#pragma once

#include "cli/ImportRequest.h"
#include "core/ArbStore.h"

#include <QString>
#include <memory>

namespace arb::cli
{

// A waveform read from a file as the window would hold it afterwards: the
// points and length, the text of the length field and of the name field.
struct InputWave {
    ArbStore store;
    QString lengthText;
    QString name;
};

// The waveform, or the window's message for a file it would refuse.
struct InputResult {
    std::unique_ptr<InputWave> wave;
    QString error;
};

// Reads path as "导入波形" does and shapes it with the dialog's choices as
// the request changes them. The name is the one a file of the editor's 2.0
// form carries, through the name field's rules, else defaultName.
InputResult ImportWave(const QString &path, const ImportRequest &request, const QString &defaultName);

// Reads path as "打开" does when it is one of the editor's own forms (its
// header reads and its count is one "打开" takes); otherwise, or when the
// request asks for other points, column or scaling, as ImportWave does.
InputResult OpenWave(const QString &path, const ImportRequest &request, const QString &defaultName);

// The name field's text after a name read from a file: its letters and
// digits, the first six of them.
QString NameFromFile(const std::string &name);

} // namespace arb::cli
