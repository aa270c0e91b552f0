#include "hart/HartCommandSet.h"

#include "hart/CommandTable.h"
#include "hart/HartCodec.h"
#include "hart/UnitTables.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Data bytes of an answer by their fixed position; a position past the frame
// buffer reads as 0, so no decoder can read outside it.
class AnswerData {
public:
    AnswerData(std::span<const std::uint8_t, 60> frame, std::size_t firstDataIndex)
        : m_Frame(frame), m_nFirst(firstDataIndex) {}

    std::uint8_t operator[](std::size_t k) const {
        const std::size_t at = m_nFirst + k;
        return at < m_Frame.size() ? m_Frame[at] : 0;
    }

    float Float(std::size_t k) const {
        const std::array<std::uint8_t, 4> bytes{(*this)[k], (*this)[k + 1], (*this)[k + 2],
                                                (*this)[k + 3]};
        return HartCodec::FloatFromBytes(bytes);
    }

    template <std::size_t N> std::array<std::uint8_t, N> Bytes(std::size_t k) const {
        std::array<std::uint8_t, N> bytes{};
        for (std::size_t i = 0; i < N; ++i) {
            bytes[i] = (*this)[k + i];
        }
        return bytes;
    }

private:
    std::span<const std::uint8_t, 60> m_Frame;
    std::size_t m_nFirst;
};

constexpr std::size_t kShortDataIndex = 6;
constexpr std::size_t kLongDataIndex = 10;

// The final assembly number text as the C library reads an unsigned hexadecimal
// number: leading blanks, an optional sign and 0x, then the leading digits.
std::uint32_t FinalAssemblyNumberValue(const std::string& text) {
    return static_cast<std::uint32_t>(std::strtoull(text.c_str(), nullptr, 16) & 0xFFFFFF);
}

void PutPacked(HartCommandSet::Request& request, std::string& text, std::size_t characters) {
    HartCodec::UpperCaseAscii(text);
    std::array<std::uint8_t, 24> packed{};
    const std::span<std::uint8_t> out(packed.data(), characters / 4 * 3);
    HartCodec::PackAscii(text, characters, out);
    request.Put(out);
}

} // namespace

void HartCommandSet::Request::Put(std::uint8_t byte) {
    if (m_nSize < m_Bytes.size()) {
        m_Bytes[m_nSize++] = byte;
    }
}

void HartCommandSet::Request::Put(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        Put(byte);
    }
}

void HartCommandSet::Request::PutFloat(float value) {
    Put(HartCodec::FloatToBytes(value));
}

bool HartCommandSet::IsKnownCommand(std::uint8_t command) {
    return CommandTable::Of(command).sendable;
}

bool HartCommandSet::BuildRequestData(std::uint8_t command, DeviceRecord& r, Request& request) {
    switch (command) {
    case 6:
        request.Put(r.newPollingAddress);
        break;
    case 17:
        PutPacked(request, r.message, 32);
        break;
    case 18:
        PutPacked(request, r.tag, 8);
        PutPacked(request, r.descriptor, 16);
        request.Put(r.dateDay);
        request.Put(r.dateMonth);
        request.Put(static_cast<std::uint8_t>(r.dateYear - 1900));
        break;
    case 19: {
        const std::uint32_t number = FinalAssemblyNumberValue(r.finalAssemblyNumber);
        request.Put(static_cast<std::uint8_t>(number >> 16));
        request.Put(static_cast<std::uint8_t>(number >> 8));
        request.Put(static_cast<std::uint8_t>(number));
        break;
    }
    case 34:
        request.PutFloat(r.damping);
        break;
    case 35:
        request.Put(UnitTextToCode(r.pvUnitText));
        request.PutFloat(r.upperRangeValue);
        request.PutFloat(r.lowerRangeValue);
        break;
    case 40:
        request.PutFloat(r.fixedCurrent);
        break;
    case 45:
        request.PutFloat(r.trimZeroCurrent);
        break;
    case 46:
        request.PutFloat(r.trimGainCurrent);
        break;
    case 137:
    case 194:
        request.PutFloat(r.value137);
        break;
    case 138:
        request.Put(r.byte138a);
        request.Put(std::span<const std::uint8_t>(r.bytes141).first(4));
        request.Put(r.byte138b);
        break;
    case 143:
        request.Put(r.byte143);
        break;
    case 152:
    case 153:
        request.Put(r.selector152);
        request.Put(0x20);
        break;
    case 160:
        request.Put(r.flag160 != 0 ? 1 : 2);
        break;
    case 180:
        request.PutFloat(r.floatPair140[0]);
        request.PutFloat(r.floatPair140[1]);
        break;
    case 181:
        request.Put(r.bytes141);
        break;
    case 182:
        request.PutFloat(r.value142);
        break;
    case 183:
        request.Put(r.byte143);
        request.Put(r.bytes143a);
        request.Put(r.bytes143b);
        request.Put(HartCodec::DoubleToExp256(r.number143a));
        request.Put(HartCodec::DoubleToExp256(r.number143b));
        break;
    case 184:
        request.PutFloat(r.floats144[r.selector184 < 2 ? r.selector184 : 2]);
        request.Put(r.selector184);
        break;
    case 185:
        request.PutFloat(r.value145);
        break;
    case 186:
        request.Put(r.sensor1Type);
        request.Put(r.sensor2Type);
        request.Put(r.sensorSetupA);
        request.Put(r.sensorSetupB);
        request.PutFloat(r.sensorValueA);
        request.PutFloat(r.sensorValueB);
        break;
    case 187:
        request.Put(r.displaySettings);
        break;
    case 188:
        request.Put(r.bytePair148);
        break;
    case 190:
        request.PutFloat(r.value150);
        request.Put(static_cast<std::uint8_t>(r.byte150 * 3));
        break;
    case 192:
        request.Put(r.block152);
        request.Put(r.byte192);
        break;
    default:
        // Commands without request data.
        return command != 0 && IsKnownCommand(command);
    }
    return true;
}

Rejection HartCommandSet::DecodeAnswer(std::uint8_t command,
                                       std::span<const std::uint8_t, 60> frame,
                                       std::uint8_t byteCount, DeviceRecord& r) {
    const int expected = CommandTable::Of(command).answerBytes;
    if (expected == CommandInfo::kNeverAccepted) {
        return Rejection::NoDecoder;
    }
    if (expected != CommandInfo::kAnyLength && byteCount != expected) {
        return Rejection::ByteCount;
    }
    if (command == 0) {
        const AnswerData d(frame, kShortDataIndex);
        if ((frame[1] & 0x0F) != r.pollingAddress) {
            return Rejection::OtherAddress;
        }
        r.longAddress = {static_cast<std::uint8_t>(d[1] | 0x80), d[2], d[9], d[10], d[11]};
        UpdateDeviceTypeName(d[2], r.deviceTypeName);
        return Rejection::None;
    }
    const AnswerData d(frame, kLongDataIndex);
    switch (command) {
    case 15:
        r.pvUnitText = UnitCodeToText(d[2]);
        r.upperRangeValue = d.Float(3);
        r.lowerRangeValue = d.Float(7);
        r.damping = d.Float(11);
        break;
    case 1:
        r.pvUnitText = UnitCodeToText(d[0]);
        r.pv = d.Float(1);
        break;
    case 2:
        r.loopCurrent = d.Float(0);
        r.percentOfRange = d.Float(4);
        break;
    case 3:
        r.pv3 = d.Float(5);
        r.sv = d.Float(10);
        r.tv = d.Float(15);
        break;
    case 12:
        r.message = HartCodec::UnpackAsciiText(d.Bytes<24>(0));
        break;
    case 13:
        r.tag = HartCodec::UnpackAsciiText(d.Bytes<6>(0));
        r.descriptor = HartCodec::UnpackAsciiText(d.Bytes<12>(6));
        r.dateDay = d[18];
        r.dateMonth = d[19];
        r.dateYear = static_cast<std::uint16_t>(d[20] + 1900);
        break;
    case 14:
        r.sensorLimitUnitText = UnitCodeToText(d[3]);
        r.upperSensorLimit = d.Float(4);
        r.lowerSensorLimit = d.Float(8);
        break;
    case 16: {
        char text[8];
        std::snprintf(text, sizeof text, "%02X%02X%02X", d[0], d[1], d[2]);
        r.finalAssemblyNumber = text;
        break;
    }
    case 140:
        r.floatPair140 = {d.Float(0), d.Float(4)};
        break;
    case 141:
        r.bytes141 = d.Bytes<5>(0);
        break;
    case 142:
        r.value142 = d.Float(0);
        break;
    case 143:
        r.byte143 = d[0];
        r.bytes143a = d.Bytes<4>(1);
        r.bytes143b = d.Bytes<4>(5);
        r.number143a = HartCodec::Exp256ToDouble(d.Bytes<5>(9));
        r.number143b = HartCodec::Exp256ToDouble(d.Bytes<5>(14));
        break;
    case 144:
        r.floats144 = {d.Float(0), d.Float(4), d.Float(8)};
        break;
    case 145:
        r.value145 = d.Float(0);
        break;
    case 146:
        r.sensor1Type = d[0];
        r.sensor2Type = d[1];
        r.sensorSetupA = d[2];
        r.sensorSetupB = d[3];
        r.sensorValueA = d.Float(4);
        r.sensorValueB = d.Float(8);
        break;
    case 147:
        r.displaySettings = d.Bytes<3>(0);
        break;
    case 148:
        r.bytePair148 = d.Bytes<2>(0);
        break;
    case 150:
        r.value150 = d.Float(0);
        r.byte150 = static_cast<std::uint8_t>(d[4] / 3);
        break;
    case 152:
    case 153:
        r.block152 = d.Bytes<34>(0);
        break;
    case 161:
        r.wordPair161 = {static_cast<std::uint16_t>(d[0] + 256 * d[1]),
                         static_cast<std::uint16_t>(d[2] + 256 * d[3])};
        break;
    case 162: {
        char text[16];
        std::snprintf(text, sizeof text, "V%d.%d%d", d[0], d[1], d[2]);
        r.versionText = text;
        break;
    }
    default:
        break; // acknowledged writes store nothing
    }
    return Rejection::None;
}
