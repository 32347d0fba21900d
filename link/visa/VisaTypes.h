#pragma once

#include <cstdarg>
#include <cstdint>

// The C types and constants of the VISA library's standard entry points, in
// the sizes that library uses, so that its functions can be bound at run
// time and the built-in backend can stand in for it.

#if defined(_WIN32) && !defined(_WIN64)
#define ARB_VISA_CALL __stdcall
#else
#define ARB_VISA_CALL
#endif

namespace arb::visa
{

using ViStatus = std::int32_t;
using ViInt32 = std::int32_t;
using ViUInt32 = std::uint32_t;
using ViUInt16 = std::uint16_t;
using ViObject = ViUInt32;
using ViSession = ViObject;
using ViFindList = ViObject;
using ViAttr = ViUInt32;
using ViAccessMode = ViUInt32;
using ViChar = char;
using ViByte = unsigned char;
using ViPBuf = ViByte *;
using ViConstString = const ViChar *;
using ViConstRsrc = ViConstString;
using ViPSession = ViSession *;
using ViPFindList = ViFindList *;
using ViPUInt32 = ViUInt32 *;
using ViVAList = va_list;

// Attribute values are pointer-sized: 64 bits on 64-bit platforms.
#if UINTPTR_MAX > 0xFFFFFFFFu
using ViAttrState = std::uint64_t;
#else
using ViAttrState = std::uint32_t;
#endif

constexpr ViSession VI_NULL = 0;

constexpr ViStatus StatusOf(std::uint32_t code)
{
    return static_cast<ViStatus>(code);
}
constexpr ViStatus VI_SUCCESS = 0;
constexpr ViStatus VI_SUCCESS_TERM_CHAR = StatusOf(0x3FFF0005u);
constexpr ViStatus VI_SUCCESS_MAX_CNT = StatusOf(0x3FFF0006u);
constexpr ViStatus VI_WARN_NULL_OBJECT = StatusOf(0x3FFF0082u);
constexpr ViStatus VI_ERROR_SYSTEM_ERROR = StatusOf(0xBFFF0000u);
constexpr ViStatus VI_ERROR_INV_OBJECT = StatusOf(0xBFFF000Eu);
constexpr ViStatus VI_ERROR_RSRC_NFOUND = StatusOf(0xBFFF0011u);
constexpr ViStatus VI_ERROR_INV_RSRC_NAME = StatusOf(0xBFFF0012u);
constexpr ViStatus VI_ERROR_TMO = StatusOf(0xBFFF0015u);
constexpr ViStatus VI_ERROR_NSUP_ATTR = StatusOf(0xBFFF001Du);
constexpr ViStatus VI_ERROR_ALLOC = StatusOf(0xBFFF003Cu);
constexpr ViStatus VI_ERROR_IO = StatusOf(0xBFFF003Eu);
constexpr ViStatus VI_ERROR_INV_FMT = StatusOf(0xBFFF003Fu);
constexpr ViStatus VI_ERROR_NSUP_FMT = StatusOf(0xBFFF0041u);
constexpr ViStatus VI_ERROR_USER_BUF = StatusOf(0xBFFF0071u);
constexpr ViStatus VI_ERROR_RSRC_BUSY = StatusOf(0xBFFF0072u);
constexpr ViStatus VI_ERROR_NSUP_OPER = StatusOf(0xBFFF0067u);
constexpr ViStatus VI_ERROR_CONN_LOST = StatusOf(0xBFFF00A6u);
constexpr ViStatus VI_ERROR_MACHINE_NAVAIL = StatusOf(0xBFFF00C0u);

// Length of the name buffer the find operations fill, NUL included.
constexpr int VI_FIND_BUFLEN = 256;

constexpr ViUInt16 VI_READ_BUF_DISCARD = 4;
constexpr ViUInt32 VI_TMO_INFINITE = 0xFFFFFFFFu;

constexpr ViAttr VI_ATTR_TMO_VALUE = 0x3FFF001Au;
constexpr ViAttr VI_ATTR_TERMCHAR = 0x3FFF0018u;
constexpr ViAttr VI_ATTR_TERMCHAR_EN = 0x3FFF0038u;
constexpr ViAttr VI_ATTR_ASRL_DATA_BITS = 0x3FFF0022u;
constexpr ViAttr VI_ATTR_ASRL_PARITY = 0x3FFF0023u;
constexpr ViAttr VI_ATTR_ASRL_STOP_BITS = 0x3FFF0024u;
constexpr ViAttr VI_ATTR_ASRL_FLOW_CNTRL = 0x3FFF0025u;

constexpr ViAttrState VI_ASRL_STOP_ONE = 10;
constexpr ViAttrState VI_ASRL_FLOW_NONE = 0;

inline bool Failed(ViStatus status)
{
    return status < VI_SUCCESS;
}

} // namespace arb::visa
