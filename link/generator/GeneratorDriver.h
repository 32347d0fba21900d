#pragma once

#include "link/generator/ChunkedDownload.h"
#include "link/visa/VisaApi.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace arb
{

// The generator over the VISA layer: finds the instruments, keeps the one
// chosen and its serial format, opens a session on it for each operation,
// identifies it, and holds the link's state (connected, identifying) and
// its download. It keeps no session open while connected: every write opens
// a fresh one. It shows nothing: what the user is told is the caller's.
class GeneratorDriver : public QObject, public ChunkLink
{
    Q_OBJECT
  public:
    explicit GeneratorDriver(visa::VisaApi &visa, QObject *parent = nullptr);

    // ---- Instruments

    // What a discovery found.
    struct Discovery {
        // The find answered: entries (the USB instruments found, or the
        // serial placeholder "ASRL1::INSTR" when there were none) replace
        // the list, and entry select is chosen.
        bool listed = false;
        QStringList entries;
        int select = 0;
        // The connected generator is no longer found: the link has dropped.
        bool lost = false;
        // Another instrument was chosen while connected: the link has
        // dropped without a word.
        bool leftQuietly = false;
    };
    // Finds the instruments on a new resource manager, which it returns (or
    // VI_NULL when there is none or the find failed) and does not keep, and
    // chooses the one found again, or the first.
    visa::ViSession discover(Discovery &found);
    // Keeps rm as the resource manager of the next sessions. The one it
    // replaces is closed, unless an identification still reads on a session
    // of it; then it goes with the next pair.
    void adoptResourceManager(visa::ViSession rm);
    // The USB instruments the latest discovery found, generators or not, in
    // the order found; none when it found nothing or could not ask.
    const QStringList &found() const { return found_; }

    // Chooses an instrument by its resource name. Another one than the
    // chosen one while connected drops the link: true then.
    bool choose(const QString &resource);
    const QString &chosen() const { return chosen_; }

    // The serial format of a serial resource (ASRL...), by the entries of
    // its lists: the baud rate 300, 600, 1200, 2400, 4800 or 9600 is only
    // kept; the data format (0: 8 bits without parity, 1: 7 bits odd, 2: 7
    // bits even) is set on the session, with one stop bit and no flow
    // control. A failed setting closes the resource manager.
    void chooseBaud(int index);
    void chooseDataFormat(int index);
    // The baud rates, in the order of their indices.
    static QList<int> SerialBaudRates();
    int serialBaud() const { return serialBaud_; }
    int serialDataBits() const { return serialDataBits_; }
    int serialParity() const { return serialParity_; }

    // ---- Sessions

    enum class OpenResult { Opened, NotUsb, OpenFailed, TimeoutFailed };
    // Opens a session with a 1000 ms timeout on the chosen instrument, on
    // the resource manager kept. Only a USB instrument opens. A failure
    // closes the resource manager.
    OpenResult openChosen();
    // Leaves the session of the previous opening for good.
    void dropSession();
    // dropSession, a discovery, and openChosen: the opening of every
    // operation.
    OpenResult reopen();
    // One command on the session, framed as every generator command is.
    void send(const std::string &command);
    // Closes the session, then the resource manager.
    void closeSessions();
    visa::ViSession defaultRM() const { return defaultRM_; }
    visa::ViSession session() const { return instrSession_; }

    // ---- The link

    bool connected() const { return connected_; }
    // "*IDN?" was sent and its reply is not read yet.
    bool identifying() const { return identifying_; }
    // Start-up: not connected, the serial format's defaults, no download.
    void startUp();
    // Asks the instrument opened last to identify itself.
    void sendIdentify();
    // Reads the reply (without blanks at its ends), closes the sessions and
    // marks the link connected, whatever the reply.
    QString finishIdentify();
    // The user ends the link: the sessions are closed again.
    void closeLink();
    // Closing the program.
    void shutDown();

    ChunkedDownload &download() { return download_; }
    const ChunkedDownload &download() const { return download_; }

    // ChunkLink, for a download run without a window.
    bool reopenForChunk() override;
    void sendChunk(const std::string &command) override;

  signals:
    void connectedChanged(bool connected);

  private:
    void setConnected(bool connected);
    void closeHandle(visa::ViSession &handle);

    visa::VisaApi &visa_;
    ChunkedDownload download_;

    bool connected_ = false;
    bool identifying_ = false;
    QString chosen_;
    QStringList found_;
    int serialBaud_ = 9600;
    int serialDataBits_ = 8;
    int serialParity_ = 0;

    visa::ViSession defaultRM_ = visa::VI_NULL;
    visa::ViSession instrSession_ = visa::VI_NULL;
    // The resource manager instrSession_ was opened on.
    visa::ViSession instrRM_ = visa::VI_NULL;
    // Resource managers replaced while an identification still reads on a
    // session of theirs; closed with the next pair.
    std::vector<visa::ViSession> retiredRMs_;
};

} // namespace arb
