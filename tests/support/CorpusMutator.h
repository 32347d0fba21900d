#pragma once

#include "tests/support/TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <cstddef>
#include <random>
#include <vector>

namespace arb::test
{

// Bounded mutations of a fuzz corpus for the normal test run: each file is a
// corpus file with one to four edits (insert a piece, remove a few bytes,
// overwrite a byte, duplicate a run when asked, cut the rest).
class CorpusMutator
{
  public:
    CorpusMutator(const QString &dir, std::mt19937::result_type seed, std::vector<QByteArray> pieces,
                  bool duplicateRuns)
        : dir_(dir), names_(QDir(dir).entryList(QDir::Files, QDir::Name)), random_(seed),
          pieces_(std::move(pieces)), duplicateRuns_(duplicateRuns)
    {
    }

    const QStringList &names() const { return names_; }
    std::mt19937 &random() { return random_; }

    QByteArray next()
    {
        QByteArray b =
            FileBytes(dir_ + QLatin1Char('/') + names_[static_cast<int>(random_() % names_.size())]);
        const int edits = 1 + static_cast<int>(random_() % 4);
        for (int e = 0; e < edits; ++e) {
            const auto at = static_cast<qsizetype>(b.isEmpty() ? 0 : random_() % b.size());
            const auto kind = random_() % (duplicateRuns_ ? 5 : 4);
            if (kind == 0) {
                b.insert(at, pieces_[random_() % pieces_.size()]);
            } else if (kind == 1) {
                b.remove(at, 1 + static_cast<qsizetype>(random_() % 8));
            } else if (kind == 2) {
                if (!b.isEmpty())
                    b[at] = static_cast<char>(random_());
            } else if (kind == 3 && duplicateRuns_) {
                b.insert(at, b.mid(at, static_cast<qsizetype>(random_() % 64)));
            } else {
                b.truncate(at);
            }
        }
        return b;
    }

  private:
    QString dir_;
    QStringList names_;
    std::mt19937 random_;
    std::vector<QByteArray> pieces_;
    bool duplicateRuns_;
};

} // namespace arb::test
