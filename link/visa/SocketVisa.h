#pragma once

#include "link/visa/TcpSocket.h"
#include "link/visa/VisaApi.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace arb::visa
{

// Raw network sockets in front of another VISA backend, as the built-in
// backend has them: "TCPIP[board]::host::port::SOCKET" resources open a TCP
// connection of their own; every other resource, the finds and the
// resource managers go to the backend behind. Nothing is searched for on
// the network. A VXI-11 resource ("TCPIP0::host::INSTR") needs a vendor's
// library and is refused with VI_ERROR_NSUP_OPER.
//
// On a socket session a write sends the command's bytes as they stand; a
// read takes what arrives up to its count, or (VI_ATTR_TERMCHAR_EN) up to
// and with the termination character, within the session's timeout. The
// formatted read takes a reply up to its line feed. Bytes read past the end
// of a read wait for the next one; the read buffer's flush drops them.
class SocketVisa final : public VisaApi
{
  public:
    // The connection waits for an answer this long, unless viOpen is given
    // a timeout of its own.
    static constexpr ViUInt32 kConnectTimeoutMs = 3000;

    explicit SocketVisa(std::unique_ptr<VisaApi> behind);
    ~SocketVisa() override;
    SocketVisa(const SocketVisa &) = delete;
    SocketVisa &operator=(const SocketVisa &) = delete;

    ViStatus viOpenDefaultRM(ViPSession vi) override;
    ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                        ViChar desc[]) override;
    ViStatus viFindNext(ViFindList vi, ViChar desc[]) override;
    // A socket resource is connected within timeout ms, or kConnectTimeoutMs
    // when it is 0: VI_ERROR_RSRC_NFOUND when the host's name does not
    // resolve, VI_ERROR_MACHINE_NAVAIL when the connection is refused,
    // VI_ERROR_TMO when it is not answered in time.
    ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                    ViPSession vi) override;
    ViStatus viClose(ViObject vi) override;
    ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) override;
    ViStatus viFlush(ViSession vi, ViUInt16 mask) override;
    ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList params) override;
    ViStatus viVScanf(ViSession vi, ViConstString readFmt, ViVAList params) override;
    // VI_ERROR_CONN_LOST once the peer has closed the connection, with
    // retCnt counting what came before.
    ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) override;

  private:
    struct Connection {
        TcpSocket socket;
        ViSession rm = VI_NULL;
        ViUInt32 timeoutMs = 2000;
        bool termEnabled = false;
        unsigned char termChar = '\n';
        // Bytes read past the end of an earlier read.
        std::string pending;
    };

    // The open socket session vi, or null; it stays where it is until it
    // is closed.
    Connection *connection(ViSession vi);
    static ViStatus ReadInto(Connection &c, ViPBuf buf, std::size_t cnt, std::size_t &got);

    std::unique_ptr<VisaApi> behind_;
    // Guards the table, not the I/O on a session.
    std::mutex mutex_;
    std::map<ViSession, std::unique_ptr<Connection>> connections_;
    // Far above the handles the backend behind gives out.
    ViSession nextHandle_ = 0x7F000001u;
};

} // namespace arb::visa
