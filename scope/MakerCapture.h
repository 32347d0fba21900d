#pragma once

#include "core/import/ImportTable.h"
#include "scope/CaptureFault.h"

#include <string>
#include <vector>

namespace arb
{

class ScopeTalk;

// What a capture read: the identification, the maker's name as it gave it,
// and the record in volts, kept as the bytes that came with the volts of
// each byte value (volts[i] is a point's volts).
struct CaptureRecord {
    std::string identification;
    std::string maker;
    CodedColumn volts;
};

struct CaptureResult {
    CaptureFault fault;
    CaptureRecord record;
};

// Identifies the oscilloscope ("*IDN?") and reads the displayed record of
// channel (1 to 4) with its maker's commands, converted to volts:
//
//  TEKTRONIX: DATa:SOUrce CHk, DATa:ENCdg RIBinary, DATa:WIDth 1,
//    HORizontal:RECOrdlength? (L), DATa:STARt 1, DATa:STOP L,
//    WFMOutpre:YMUlt?, WFMOutpre:YOFf?, WFMOutpre:YZEro?, CURVe?
//  RIGOL TECHNOLOGIES: :WAVeform:SOURce CHANk, :WAVeform:MODE NORMal,
//    :WAVeform:FORMat BYTE, :WAVeform:PREamble?, :WAVeform:DATA?
//  SIGLENT (TECHNOLOGIES): Ck:VDIV?, Ck:OFST?, Ck:WF? DAT2
//  KEYSIGHT or AGILENT TECHNOLOGIES: :WAVeform:SOURce CHANnelk,
//    :WAVeform:FORMat BYTE, :WAVeform:POINts:MODE NORMal,
//    :WAVeform:PREamble?, :WAVeform:DATA?
//
// Stops at the first fault; the record is then empty.
CaptureResult RunScopeCapture(ScopeTalk &talk, int channel);

} // namespace arb
