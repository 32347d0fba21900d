#pragma once

#include "core/import/ImportReader.h"
#include "core/import/ImportTable.h"

namespace arb
{

class ImportSource;

// What trying the editor's own forms on a source gave.
struct OwnFormProbe {
    enum class Outcome {
        Own,    // table holds the source
        NotOwn, // none of the forms: read it as a table or header form
        Failed, // the source could not be read: error says why
    };
    Outcome outcome = Outcome::NotOwn;
    ImportTable table;
    ImportError error = ImportError::None;
};

// The editor's own three forms, read exactly as "打开" reads them, whatever
// the source's size: a source whose header "打开" accepts with a count of
// 4..16384 and whose values all read. The plain form counts only when its
// count is a whole number and nothing but blank lines follows its values. A
// source with a NUL byte or a line longer than options.maxLineBytes is none
// of them, nor is anything else, which is read as a table or header form
// instead. Lone CR line ends are taken as "打开" would take a file without
// them. The whole source is read when it is one of the forms.
OwnFormProbe ProbeOwnForm(ImportSource &source, const ImportReadOptions &options);

} // namespace arb
