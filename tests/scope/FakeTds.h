#pragma once

// A pseudo-terminal whose far end plays the oscilloscope: the program opens
// the slave side as its serial port; the test owns the master side.

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace arb::test
{

class PtyMaster
{
  public:
    PtyMaster()
    {
        fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0 && grantpt(fd_) == 0 && unlockpt(fd_) == 0) {
            if (const char *name = ptsname(fd_))
                slave_ = QString::fromLocal8Bit(name);
        }
    }
    ~PtyMaster()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    PtyMaster(const PtyMaster &) = delete;
    PtyMaster &operator=(const PtyMaster &) = delete;

    bool isValid() const { return fd_ >= 0 && !slave_.isEmpty(); }
    int fd() const { return fd_; }
    const QString &slavePath() const { return slave_; }

    // Whatever the slave side has written so far; nothing when it is closed.
    QByteArray readAvailable()
    {
        QByteArray all;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            all.append(buffer, static_cast<qsizetype>(n));
        }
        return all;
    }

    bool writeAll(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::write(fd_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n < 0 && errno == EAGAIN)
                continue;
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }

  private:
    int fd_ = -1;
    QString slave_;
};

// The oscilloscope: records every byte it receives, takes a command as ended
// by CR or LF, answers "*IDN?" with its identification and "CURVe?" with
// "#42500", the 2500 point bytes and its line end.
class FakeTds
{
  public:
    enum class CurveReply { Full, NoLineEnd, None };

    FakeTds()
    {
        points.resize(2500);
        for (int i = 0; i < 2500; ++i)
            points[i] = static_cast<char>(i % 256);
        clock_.start();
        poll_.setInterval(1);
        poll_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&poll_, &QTimer::timeout, [this] { pump(); });
        poll_.start();
    }

    bool isValid() const { return pty_.isValid(); }
    QString slavePath() const { return pty_.slavePath(); }

    // The commands received so far, each with its line end.
    QList<QByteArray> commands() const
    {
        QList<QByteArray> list;
        qsizetype start = 0;
        for (qsizetype i = 0; i < received.size(); ++i) {
            if (received[i] == '\n' || received[i] == '\r') {
                list << received.mid(start, i - start + 1);
                start = i + 1;
            }
        }
        return list;
    }

    QByteArray curveReply() const
    {
        QByteArray reply = beforeCurve + QByteArrayLiteral("#42500") + points;
        if (curve == CurveReply::Full)
            reply.append(static_cast<char>(lineEnd));
        return reply;
    }

    // Sends bytes of the test's choosing at once, outside any reply.
    bool writeRaw(const QByteArray &bytes) { return pty_.writeAll(bytes); }

    // Moves bytes both ways once; the event loop does it every millisecond.
    void pump()
    {
        const QByteArray in = pty_.readAvailable();
        received += in;
        pending_ += in;
        for (;;) {
            qsizetype end = -1;
            for (qsizetype i = 0; i < pending_.size() && end < 0; ++i)
                if (pending_[i] == '\n' || pending_[i] == '\r')
                    end = i;
            if (end < 0)
                break;
            const QByteArray command = pending_.left(end);
            pending_.remove(0, end + 1);
            if (command == "*IDN?" && answerIdentify)
                outgoing_ += identity + static_cast<char>(lineEnd);
            else if (command == "CURVe?" && curve != CurveReply::None)
                outgoing_ += curveReply();
        }
        if (outgoing_.isEmpty())
            return;
        if (!sending_.isValid()) {
            sending_.start();
            sent_ = 0;
            firstByteNs = clock_.nsecsElapsed();
        }
        qsizetype n = pieceSize > 0 ? qMin(pieceSize, outgoing_.size()) : outgoing_.size();
        if (bytesPerSecond > 0) {
            // As many bytes as the line could have carried since the reply began.
            const qint64 due = sending_.nsecsElapsed() * bytesPerSecond / 1000000000 - sent_;
            n = static_cast<qsizetype>(qMin<qint64>(due, outgoing_.size()));
        }
        if (n <= 0 || !pty_.writeAll(outgoing_.left(n)))
            return;
        outgoing_.remove(0, n);
        sent_ += n;
        if (outgoing_.isEmpty()) {
            lastByteNs = clock_.nsecsElapsed();
            sending_.invalidate();
        }
    }

    // Nanoseconds on the fake's own clock (see nowNs), of the first and the
    // last byte of the latest reply sent in full.
    qint64 firstByteNs = 0;
    qint64 lastByteNs = 0;
    qint64 nowNs() const { return clock_.nsecsElapsed(); }

    QByteArray received;
    QByteArray identity = QByteArrayLiteral("TEKTRONIX,TDS 210,0,CF:91.1CT FV:v1.16");
    QByteArray points;
    int lineEnd = '\n';
    // Sent ahead of the curve reply, as a late line end of an earlier reply.
    QByteArray beforeCurve;
    bool answerIdentify = true;
    CurveReply curve = CurveReply::Full;
    // Bytes written per millisecond; 0 sends each reply at once.
    qsizetype pieceSize = 0;
    // Paces the replies at this many bytes a second instead (960 is the
    // byte time of 9600 baud with a start and a stop bit).
    qint64 bytesPerSecond = 0;

  private:
    PtyMaster pty_;
    QByteArray pending_;
    QByteArray outgoing_;
    QTimer poll_;
    QElapsedTimer clock_;
    QElapsedTimer sending_;
    qint64 sent_ = 0;
};

} // namespace arb::test
