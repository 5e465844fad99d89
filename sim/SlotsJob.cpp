#include "SlotsJob.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace dzsim {

namespace {

constexpr uint8_t kRead = 0x10;
constexpr uint8_t kWrite = 0x11;
constexpr std::size_t kWriteLength = 4 + SlotsJob::kRecordSize;
constexpr uint8_t kAck = 0;
constexpr uint8_t kBusy = 85;

// A channel as an owner would store it. Frequencies in units of 100 Hz.
struct Channel {
    const char* name;  // Windows-1252
    int32_t frequency;
    uint8_t mode;  // 0 Auto, 1 DSB, 2 LSB, 3 USB, 4 SSB, 5 CW
    uint8_t lowerEdge;
    uint8_t upperEdge;
    bool flag1kHz;
    bool flag0Ohm;
    bool flag20dB;
    uint16_t uValue;
    int16_t sValue;
};

// clang-format off
const Channel kChannels[] = {
    {"Tower EDDF",          1189050, 1, 0, 0, false, false, false,  2400,     0},
    {"Approach EDDF",       1201500, 1, 0, 0, false, false, false,  2400,     0},
    {"ATIS Frankfurt",      1181250, 1, 0, 0, false, false, false,  2400,   150},
    {"Flughafen K\xF6ln",   1248750, 1, 0, 0, false, false, false,  2400,     0},
    {"Guard 121.5",         1215000, 1, 0, 0, false, false,  true,  2400,     0},
    {"Volmet Langen",       1273750, 1, 0, 0, false, false, false,  2400,  -200},
    {"Shanwick 8891",         88910, 3, 4, 5,  true,  true, false,  2700,     0},
    {"Marine Ch 16",        1568000, 0, 0, 0, false, false, false, 12500,     0},
    {"Marine Ch 70 DSC",    1565250, 0, 0, 0, false, false, false, 12500,     0},
    {"Marine Ch 06",        1563000, 0, 0, 0, false, false, false, 12500,     0},
    {"Revierfunk Elbe",     1566500, 0, 0, 0, false, false, false, 12500,  -800},
    {"2m FM Anruf",         1455000, 0, 0, 0, false, false, false, 12500,  1500},
    {"DB0ZU Relais",        1456250, 0, 0, 0, false, false, false, 12500, -6000},
    {"70cm FM Anruf",       4335000, 0, 0, 0, false, false,  true, 12500,     0},
    {"ISS Downlink",        1458000, 0, 0, 0, false, false, false, 12500,  3000},
    {"40m FT8",               70740, 3, 3, 4,  true,  true, false,  2700,     0},
    {"80m SSB Runde",         37500, 2, 2, 3,  true,  true, false,  2700,     0},
    {"20m CW",               140500, 5, 5, 5,  true,  true,  true,   500,   800},
    {"160m CW",               18300, 5, 1, 2,  true,  true,  true,   500,     0},
    {"10m FM",               296000, 0, 6, 6, false,  true, false, 12500,     0},
    {"6m SSB",               501250, 3, 6, 6,  true, false, false,  2700,     0},
    {"CB Kanal 9",           270650, 1, 5, 5, false,  true, false,  6000,     0},
    {"Freenet K1",          1495250, 0, 0, 0, false, false, false, 12500,     0},
    {"PMR446 K1",           4460062, 0, 0, 0, false, false, false, 12500,     0},
    {"UKW hr3",              894000, 0, 0, 0, false, false, false, 65535,     0},
    {"UKW Deutschlandfunk",  976000, 0, 0, 0, false, false, false, 65535,     0},
    {"Mittelwelle 693",        6930, 1, 0, 1, false,  true,  true,  9000,     0},
    {"Langwelle DLF 153",      1530, 1, 0, 1, false,  true,  true,  9000,     0},
    {"DCF77 Zeit",              775, 5, 0, 1,  true,  true,  true,   200,     0},
    {"BBC 5875",              58750, 1, 4, 5, false,  true, false,  9000,     0},
    {"Radio Romania 9610",    96100, 1, 4, 5, false,  true, false,  9000,     0},
    {"WWV 10 MHz",           100000, 1, 4, 5, false,  true, false,  6000,   -50},
    {"NOAA Wetter",          871250, 4, 7, 7,  true,  true, false,  2700,     0},
    {"DWD Pinneberg",        101008, 3, 4, 5,  true,  true, false,  2700,     0},
    {"Z\xFCrich Meteo",      1277500, 1, 0, 0, false, false, false,  2400,     0},
    {"Bake 10 GHz",       104000000, 5, 7, 7,  true, false, false,   500,     0},
    {"Satellit 11 GHz",   117270000, 0, 7, 7, false, false, false, 32000,     0},
    {"Ku-Band 14,2 GHz",  142000000, 0, 7, 7, false, false, false, 32000,     0},
    {"Wetterballon RS41",   4032000, 0, 0, 0, false, false, false, 12500,     0},
    {"Leer",                      0, 0, 0, 0, false, false, false,     0,     0},
};
// clang-format on

void putLe(Bytes& record, std::size_t at, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i) {
        record[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    }
}

Bytes recordOf(const Channel& c, int slot)
{
    Bytes r(SlotsJob::kRecordSize, 0);
    // Bytes the program never reads carry a pattern of their own per slot, so that
    // a record that lands in the wrong place or loses a byte is seen.
    for (std::size_t i = 0; i < r.size(); ++i) {
        r[i] = static_cast<uint8_t>((slot * 7 + static_cast<int>(i) * 13) & 0xFF);
    }
    r[0] = static_cast<uint8_t>(slot);
    r[1] = static_cast<uint8_t>(0xC0 | (slot % 16));
    std::fill(r.begin() + 18, r.begin() + 36, 0);
    std::memcpy(r.data() + 18, c.name, std::min<std::size_t>(std::strlen(c.name), 17));
    r[45] = c.upperEdge;
    r[46] = c.lowerEdge;
    r[47] = c.flag0Ohm ? 1 : 0;
    r[48] = c.flag20dB ? 1 : 0;
    r[49] = c.flag1kHz ? 1 : 0;
    r[51] = c.mode;
    putLe(r, 156, static_cast<uint32_t>(c.frequency), 4);
    putLe(r, 202, static_cast<uint16_t>(c.sValue), 2);
    putLe(r, 204, c.uValue, 2);
    return r;
}

}  // namespace

SlotsJob::SlotsJob() : records(seedRecords()) {}

std::array<Bytes, SlotsJob::kSlots> SlotsJob::seedRecords()
{
    std::array<Bytes, kSlots> out;
    constexpr int kNamed = static_cast<int>(sizeof kChannels / sizeof kChannels[0]);
    for (int slot = 1; slot <= kSlots; ++slot) {
        if (slot <= kNamed) {
            out[slot - 1] = recordOf(kChannels[slot - 1], slot);
            continue;
        }
        // The rest: a band plan of 2 m channels, 25 kHz apart.
        const std::string name = "2m Kanal " + std::to_string(slot - kNamed);
        const Channel c{name.c_str(), 1440000 + (slot - kNamed) * 250, 0, 0, 0, false, false, false, 12500, 0};
        out[slot - 1] = recordOf(c, slot);
    }
    return out;
}

std::size_t SlotsJob::requestLength(uint8_t code) const
{
    return code == kRead ? 1 : code == kWrite ? kWriteLength : 0;
}

void SlotsJob::handle(const Bytes& request, Replies& replies)
{
    if (request[0] == kRead) {
        read(replies);
    } else {
        write(request, replies);
    }
}

void SlotsJob::read(Replies& replies)
{
    const int slot = nextRead;
    nextRead = nextRead % kSlots + 1;
    if (slot == missingSlot) {
        return;
    }
    const Bytes& record = records[static_cast<std::size_t>(slot - 1)];
    Bytes payload{16, 0, 0, 0};
    const uint32_t carried = slot == outOfRangeSlot ? 64 : static_cast<uint32_t>(slot);
    for (int i = 0; i < 4; ++i) {
        payload.push_back(static_cast<uint8_t>(carried >> (8 * i)));
    }
    std::size_t recordBytes = shortBlocks ? kRecordSize - 8 : kRecordSize;
    if (slot == wrongLengthSlot) {
        recordBytes = kRecordSize - 4;  // a payload of 260 bytes
    }
    payload.insert(payload.end(), record.begin(), record.begin() + static_cast<std::ptrdiff_t>(recordBytes));
    replies.frame(payload);
}

void SlotsJob::write(const Bytes& request, Replies& replies)
{
    const int slot = request[1];
    if (slot < 1 || slot > kSlots || slot == busyWriteSlot) {
        replies.frame({kBusy, 0, 0, 0});
        return;
    }
    records[static_cast<std::size_t>(slot - 1)].assign(request.begin() + 4, request.end());
    if (slot == wrongStoreSlot) {
        records[static_cast<std::size_t>(slot - 1)][18] ^= 0x20;  // the first letter of its name
    }
    replies.frame({kAck, 0, 0, 0});
}

}  // namespace dzsim
