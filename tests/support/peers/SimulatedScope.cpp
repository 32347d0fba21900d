#include "tests/support/peers/SimulatedScope.h"

#include <cstdio>

namespace arb::test
{

namespace
{

std::string Number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6E", value);
    return text;
}

std::string Preamble(std::size_t points, double yincrement, double yorigin, double yreference)
{
    return "0,0," + std::to_string(points) + ",1,1.000000E-09,-6.000000E-06,0," + Number(yincrement) + "," +
           Number(yorigin) + "," + Number(yreference) + "\n";
}

} // namespace

std::string SimulatedScope::Block(const std::string &data)
{
    const std::string n = std::to_string(data.size());
    return "#" + std::to_string(n.size()) + n + data;
}

SimulatedScope SimulatedScope::Tektronix(int channel, std::string data, double ymult, double yoff,
                                         double yzero)
{
    SimulatedScope s;
    const std::string k = std::to_string(channel);
    s.settings_ = {"DATa:SOUrce CH" + k, "DATa:ENCdg RIBinary", "DATa:WIDth 1", "DATa:STARt 1",
                   "DATa:STOP " + std::to_string(data.size())};
    s.replies_["*IDN?"] = "TEKTRONIX,MSO54,B012345,CF:91.1CT FV:1.30.5\n";
    s.replies_["HORizontal:RECOrdlength?"] = std::to_string(data.size()) + "\n";
    s.replies_["WFMOutpre:YMUlt?"] = Number(ymult) + "\n";
    s.replies_["WFMOutpre:YOFf?"] = Number(yoff) + "\n";
    s.replies_["WFMOutpre:YZEro?"] = Number(yzero) + "\n";
    s.blockQuery_ = "CURVe?";
    s.replies_[s.blockQuery_] = Block(data) + "\n";
    return s;
}

SimulatedScope SimulatedScope::Rigol(int channel, std::string data, double yincrement, double yorigin,
                                     double yreference)
{
    SimulatedScope s;
    s.settings_ = {":WAVeform:SOURce CHAN" + std::to_string(channel), ":WAVeform:MODE NORMal",
                   ":WAVeform:FORMat BYTE"};
    s.replies_["*IDN?"] = "RIGOL TECHNOLOGIES,DS1104Z,DS1ZA000000001,00.04.04.SP3\n";
    s.replies_[":WAVeform:PREamble?"] = Preamble(data.size(), yincrement, yorigin, yreference);
    s.blockQuery_ = ":WAVeform:DATA?";
    s.replies_[s.blockQuery_] = Block(data) + "\n";
    return s;
}

SimulatedScope SimulatedScope::Keysight(int channel, std::string data, double yincrement, double yorigin,
                                        double yreference)
{
    SimulatedScope s;
    s.settings_ = {":WAVeform:SOURce CHANnel" + std::to_string(channel), ":WAVeform:FORMat BYTE",
                   ":WAVeform:POINts:MODE NORMal"};
    s.replies_["*IDN?"] = "KEYSIGHT TECHNOLOGIES,DSOX1204G,CN00000000,02.12.2021071625\n";
    s.replies_[":WAVeform:PREamble?"] = Preamble(data.size(), yincrement, yorigin, yreference);
    s.blockQuery_ = ":WAVeform:DATA?";
    s.replies_[s.blockQuery_] = Block(data) + "\n";
    return s;
}

SimulatedScope SimulatedScope::Siglent(int channel, std::string data, double vdiv, double ofst)
{
    SimulatedScope s;
    const std::string c = "C" + std::to_string(channel);
    s.replies_["*IDN?"] = "Siglent Technologies,SDS1202X-E,SDSMMEBQ000000,8.2.6.1.37R9\n";
    s.replies_[c + ":VDIV?"] = c + ":VDIV " + Number(vdiv) + "V\n";
    s.replies_[c + ":OFST?"] = c + ":OFST " + Number(ofst) + "V\n";
    s.blockQuery_ = c + ":WF? DAT2";
    s.replies_[s.blockQuery_] = c + ":WF DAT2," + Block(data) + "\n\n";
    return s;
}

const std::string *SimulatedScope::answer(const std::string &command)
{
    const std::lock_guard<std::mutex> lock(*mutex_);
    commands_.push_back(command);
    if (settings_.count(command))
        return nullptr;
    const auto it = replies_.find(command);
    if (it == replies_.end()) {
        unexpected_.push_back(command);
        return nullptr;
    }
    return &it->second;
}

std::vector<std::string> SimulatedScope::commands() const
{
    const std::lock_guard<std::mutex> lock(*mutex_);
    return commands_;
}

std::vector<std::string> SimulatedScope::unexpected() const
{
    const std::lock_guard<std::mutex> lock(*mutex_);
    return unexpected_;
}

} // namespace arb::test
