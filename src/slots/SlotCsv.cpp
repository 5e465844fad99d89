#include "slots/SlotCsv.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "link/AnsiText.h"
#include "slots/SlotTexts.h"

namespace dz {

namespace {

enum Column {
    kSlot,
    kName,
    kFrequency,
    kMode,
    kUValue,
    kSValue,
    k1kHz,
    k0Ohm,
    k20dB,
    kLower,
    kUpper,
    kNumber,
    kRecord
};
constexpr std::array<std::string_view, 13> kColumnNames = {
    "Slot",     "Name",     "Frequency", "Mode",      "UValue", "SValue", "Flag1kHz",
    "Flag0Ohm", "Flag20dB", "LowerEdge", "UpperEdge", "Number", "Record"};
constexpr char kHex[] = "0123456789abcdef";

// ---- writing

std::string quoted(std::string_view field)
{
    const bool plain = field.find_first_of(",\"\r\n") == std::string_view::npos &&
                       (field.empty() ||
                        (field.front() != ' ' && field.back() != ' ' && field.front() != '\t' && field.back() != '\t'));
    if (plain) {
        return std::string(field);
    }
    std::string out = "\"";
    for (const char c : field) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + '"';
}

std::string frequencyField(int32_t frequency)
{
    const int64_t v = frequency;
    const uint64_t magnitude = static_cast<uint64_t>(v < 0 ? -v : v);
    return (v < 0 ? "-" : "") + std::to_string(magnitude / 10) + '.' + static_cast<char>('0' + magnitude % 10);
}

std::string line(const CsvSlot& s)
{
    const SlotRecord& r = s.record;
    const auto text = [](const char* t) { return std::string(t ? t : ""); };
    std::string hex;
    for (const uint8_t b : r.bytes) {
        hex += kHex[b >> 4];
        hex += kHex[b & 0x0F];
    }
    const std::array<std::string, 13> fields = {std::to_string(s.slot),
                                                fromAnsi(r.name()),
                                                frequencyField(r.frequency()),
                                                text(modeText(r.mode())),
                                                std::to_string(r.uValue()),
                                                std::to_string(r.sValue()),
                                                r.flag1kHz() ? "1" : "0",
                                                r.flag0Ohm() ? "1" : "0",
                                                r.flag20dB() ? "1" : "0",
                                                text(lowerEdgeText(r.lowerEdge())),
                                                text(upperEdgeText(r.upperEdge())),
                                                std::to_string(r.number()),
                                                hex};
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out += (i ? "," : "") + quoted(fields[i]);
    }
    return out + "\r\n";
}

// ---- reading

struct Row {
    int line = 0;
    std::vector<std::string> fields;
};

struct Rows {
    std::vector<Row> rows;
    std::optional<CsvError> error;
};

// RFC 4180, with LF or CR alone also ending a line; blank lines are passed over.
Rows splitRows(std::string_view text)
{
    Rows out;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);  // the byte-order mark spreadsheets put in front
    }
    int lineNo = 1;
    std::size_t i = 0;
    const auto atLineEnd = [&] { return i < text.size() && (text[i] == '\r' || text[i] == '\n'); };
    const auto skipLineEnd = [&] {
        i += text.compare(i, 2, "\r\n") == 0 ? 2 : 1;
        ++lineNo;
    };
    while (i < text.size()) {
        Row row{lineNo, {}};
        bool anyQuote = false;
        while (true) {
            std::string field;
            if (i < text.size() && text[i] == '"') {
                anyQuote = true;
                const int opened = lineNo;
                ++i;
                while (true) {
                    if (i >= text.size()) {
                        out.error = CsvError{opened, "", "a quoted field is never closed"};
                        return out;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\n' || (text[i] == '\r' && text.compare(i, 2, "\r\n") != 0)) {
                        ++lineNo;
                    }
                    field += text[i++];
                }
                if (i < text.size() && text[i] != ',' && !atLineEnd()) {
                    out.error = CsvError{lineNo, "", "text follows a closing quote"};
                    return out;
                }
            } else {
                while (i < text.size() && text[i] != ',' && !atLineEnd()) {
                    if (text[i] == '"') {
                        out.error = CsvError{lineNo, "", "a quote inside a field that does not begin with one"};
                        return out;
                    }
                    field += text[i++];
                }
            }
            row.fields.push_back(std::move(field));
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        if (atLineEnd()) {
            skipLineEnd();
        }
        if (!(row.fields.size() == 1 && row.fields[0].empty() && !anyQuote)) {
            out.rows.push_back(std::move(row));
        }
    }
    return out;
}

std::string fields(std::size_t n)
{
    return std::to_string(n) + (n == 1 ? " field" : " fields");
}

std::string_view trimmed(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::optional<int64_t> integer(std::string_view s, int64_t low, int64_t high)
{
    if (s.size() > 1 && s[0] == '+' && s[1] != '-') {
        s.remove_prefix(1);
    }
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || v < low || v > high) {
        return std::nullopt;
    }
    return v;
}

// "145500.0", "145500", "-0.5": tenths.
std::optional<int32_t> frequency(std::string_view s)
{
    const auto point = s.find('.');
    std::string digits(s.substr(0, point));
    if (point != std::string_view::npos) {
        if (point + 2 != s.size() || s[point + 1] < '0' || s[point + 1] > '9' || digits.empty() ||
            digits.back() < '0' || digits.back() > '9') {
            return std::nullopt;
        }
        digits += s[point + 1];
    } else {
        digits += '0';
    }
    const std::optional<int64_t> v = integer(digits, INT32_MIN, INT32_MAX);
    if (!v) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*v);
}

template <typename Lookup>
std::optional<uint8_t> selector(std::string_view s, Lookup lookup)
{
    for (int v = 0; v < 256; ++v) {
        const char* t = lookup(static_cast<uint8_t>(v));
        if (t == nullptr) {
            break;
        }
        if (s == t) {
            return static_cast<uint8_t>(v);
        }
    }
    return std::nullopt;
}

std::optional<SlotRecord> hexRecord(std::string_view s)
{
    if (s.size() != 2 * slot::kRecordSize) {
        return std::nullopt;
    }
    SlotRecord r;
    for (std::size_t i = 0; i < r.bytes.size(); ++i) {
        unsigned v = 0;
        const auto [end, ec] = std::from_chars(s.data() + 2 * i, s.data() + 2 * i + 2, v, 16);
        if (ec != std::errc() || end != s.data() + 2 * i + 2) {
            return std::nullopt;
        }
        r.bytes[i] = static_cast<uint8_t>(v);
    }
    return r;
}

void putLe(SlotRecord& r, int at, uint32_t v, int width)
{
    for (int i = 0; i < width; ++i) {
        r.bytes[static_cast<std::size_t>(at + i)] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// The name as Windows-1252 bytes, if the code page holds every character and it fits the field.
std::optional<std::string> ansiName(std::string_view utf8)
{
    std::string ansi = toAnsi(utf8);
    if (fromAnsi(ansi) != utf8 || ansi.size() > slot::kNameLength || ansi.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return ansi;
}

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& base) : m_base(base) {}

    CsvSlots read(std::string_view csv)
    {
        Rows split = splitRows(csv);
        if (split.error) {
            return fail(*split.error);
        }
        if (split.rows.empty()) {
            return fail({1, "", "there is no header line"});
        }
        if (const auto e = header(split.rows.front())) {
            return fail(*e);
        }
        std::array<int, slot::kCount + 1> seenOn{};
        int previous = 0;
        for (std::size_t i = 1; i < split.rows.size(); ++i) {
            const Row& row = split.rows[i];
            if (row.fields.size() != m_columns.size()) {
                return fail({row.line, "",
                             "it has " + fields(row.fields.size()) + " where the header names " +
                                 std::to_string(m_columns.size())});
            }
            CsvSlot s;
            if (const auto e = readRow(row, previous, s)) {
                return fail(*e);
            }
            if (seenOn[static_cast<std::size_t>(s.slot)] != 0) {
                return fail({row.line, "Slot",
                             "slot " + std::to_string(s.slot) + " is already on line " +
                                 std::to_string(seenOn[static_cast<std::size_t>(s.slot)])});
            }
            seenOn[static_cast<std::size_t>(s.slot)] = row.line;
            previous = s.slot;
            m_result.entries.push_back(s);
        }
        return std::move(m_result);
    }

private:
    CsvSlots fail(CsvError e) { return CsvSlots{{}, std::move(e)}; }

    std::optional<CsvError> header(const Row& row)
    {
        for (const std::string& f : row.fields) {
            const std::string_view name = trimmed(f);
            const auto it = std::find(kColumnNames.begin(), kColumnNames.end(), name);
            if (it == kColumnNames.end()) {
                return CsvError{row.line, std::string(name),
                                "not a column of a slot file; the columns are Slot, Name, Frequency, Mode, UValue, "
                                "SValue, Flag1kHz, Flag0Ohm, Flag20dB, LowerEdge, UpperEdge, Number and Record"};
            }
            const auto column = static_cast<Column>(it - kColumnNames.begin());
            if (std::find(m_columns.begin(), m_columns.end(), column) != m_columns.end()) {
                return CsvError{row.line, std::string(name), "the header names it twice"};
            }
            m_columns.push_back(column);
        }
        return std::nullopt;
    }

    const std::string* field(const Row& row, Column c) const
    {
        const auto it = std::find(m_columns.begin(), m_columns.end(), c);
        return it == m_columns.end() ? nullptr : &row.fields[static_cast<std::size_t>(it - m_columns.begin())];
    }

    std::optional<CsvError> readRow(const Row& row, int previous, CsvSlot& s) const
    {
        const auto bad = [&](Column c, std::string why) {
            return CsvError{row.line, std::string(kColumnNames[c]), std::move(why)};
        };
        // Filled columns only, trimmed; the name keeps its blanks.
        const auto value = [&](Column c) -> std::optional<std::string_view> {
            const std::string* f = field(row, c);
            if (f == nullptr || trimmed(*f).empty()) {
                return std::nullopt;
            }
            return c == kName ? std::string_view(*f) : trimmed(*f);
        };

        if (const auto v = value(kSlot)) {
            const auto n = integer(*v, 1, slot::kCount);
            if (!n) {
                return bad(kSlot, "not a slot number from 1 to 63");
            }
            s.slot = static_cast<int>(*n);
        } else if (previous == slot::kCount) {
            return bad(kSlot, "no slot follows slot 63");
        } else {
            s.slot = previous + 1;
        }

        SlotRecord& r = s.record;
        if (const auto v = value(kRecord)) {
            const auto base = hexRecord(*v);
            if (!base) {
                return bad(kRecord, "a record is 512 hexadecimal digits");
            }
            r = *base;
        } else {
            const std::size_t at = static_cast<std::size_t>(s.slot - 1) * slot::kRecordSize;
            for (std::size_t i = 0; i < r.bytes.size() && at + i < m_base.size(); ++i) {
                r.bytes[i] = m_base[at + i];
            }
        }

        if (const auto v = value(kName)) {
            const auto ansi = ansiName(*v);
            if (!ansi) {
                return bad(kName, "a name is at most 17 characters of Windows-1252 (Western European)");
            }
            if (*ansi != r.name()) {
                std::copy(ansi->begin(), ansi->end(), r.bytes.begin() + slot::kNameAt);
                if (ansi->size() < slot::kNameLength) {
                    r.bytes[slot::kNameAt + ansi->size()] = 0;
                }
            }
        }
        if (const auto v = value(kFrequency)) {
            const auto f = frequency(*v);
            if (!f) {
                return bad(kFrequency, "not a frequency like 145500.0 (one decimal, a point before it)");
            }
            putLe(r, slot::kFrequencyAt, static_cast<uint32_t>(*f), 4);
        }
        if (const auto v = value(kUValue)) {
            const auto n = integer(*v, 0, 65535);
            if (!n) {
                return bad(kUValue, "not a whole number from 0 to 65535");
            }
            putLe(r, slot::kUValueAt, static_cast<uint32_t>(*n), 2);
        }
        if (const auto v = value(kSValue)) {
            const auto n = integer(*v, -32768, 32767);
            if (!n) {
                return bad(kSValue, "not a whole number from -32768 to 32767");
            }
            putLe(r, slot::kSValueAt, static_cast<uint32_t>(*n), 2);
        }
        struct Pick {
            Column column;
            int at;
            const char* (*lookup)(uint8_t);
        };
        for (const Pick p : {Pick{kMode, slot::kModeAt, modeText}, Pick{kLower, slot::kLowerEdgeAt, lowerEdgeText},
                             Pick{kUpper, slot::kUpperEdgeAt, upperEdgeText}}) {
            if (const auto v = value(p.column)) {
                const auto n = selector(*v, p.lookup);
                if (!n) {
                    std::string names;
                    for (uint8_t i = 0; p.lookup(i) != nullptr; ++i) {
                        names += (i ? ", " : "") + std::string(p.lookup(i));
                    }
                    return bad(p.column, "not one of " + names);
                }
                r.bytes[static_cast<std::size_t>(p.at)] = *n;
            }
        }
        for (const auto& [column, at] : {std::pair{k1kHz, slot::kFlag1kHzAt}, std::pair{k0Ohm, slot::kFlag0OhmAt},
                                         std::pair{k20dB, slot::kFlag20dBAt}}) {
            if (const auto v = value(column)) {
                if (*v != "0" && *v != "1") {
                    return bad(column, "a flag is 0 or 1");
                }
                uint8_t& byte = r.bytes[static_cast<std::size_t>(at)];
                if ((byte != 0) != (*v == "1")) {
                    byte = *v == "1" ? 1 : 0;
                }
            }
        }
        if (const auto v = value(kNumber)) {
            const auto n = integer(*v, 0, 15);
            if (!n) {
                return bad(kNumber, "not a number from 0 to 15");
            }
            if (r.number() != *n) {
                // As the grid's editor stores it.
                r.bytes[slot::kNumberAt] = static_cast<uint8_t>(0xC0 | *n);
            }
        }
        return std::nullopt;
    }

    const std::vector<uint8_t>& m_base;
    std::vector<Column> m_columns;
    CsvSlots m_result;
};

}  // namespace

std::string slotsToCsv(const std::vector<CsvSlot>& entries)
{
    std::string out;
    for (std::size_t i = 0; i < kColumnNames.size(); ++i) {
        out += (i ? "," : "") + std::string(kColumnNames[i]);
    }
    out += "\r\n";
    for (const CsvSlot& s : entries) {
        out += line(s);
    }
    return out;
}

std::string slotsToCsv(const std::vector<uint8_t>& store)
{
    std::vector<CsvSlot> entries;
    for (std::size_t at = 0; at < store.size() && entries.size() < slot::kCount; at += slot::kRecordSize) {
        CsvSlot s{static_cast<int>(entries.size()) + 1, {}};
        std::copy_n(store.begin() + static_cast<std::ptrdiff_t>(at),
                    std::min<std::size_t>(slot::kRecordSize, store.size() - at), s.record.bytes.begin());
        entries.push_back(s);
    }
    return slotsToCsv(entries);
}

CsvSlots csvToSlots(std::string_view csv, const std::vector<uint8_t>& base)
{
    return Reader(base).read(csv);
}

CsvMemoryFile csvToMemoryFile(std::string_view csv)
{
    CsvSlots read = csvToSlots(csv);
    if (read.error) {
        return {{}, read.error};
    }
    CsvMemoryFile out{std::vector<uint8_t>(slot::kStoreSize, 0), std::nullopt};
    for (const CsvSlot& s : read.entries) {
        std::copy(s.record.bytes.begin(), s.record.bytes.end(),
                  out.bytes.begin() + static_cast<std::ptrdiff_t>(s.slot - 1) * slot::kRecordSize);
    }
    return out;
}

std::string describe(const CsvError& error)
{
    std::string out = "line " + std::to_string(error.line);
    if (!error.column.empty()) {
        out += ", column " + error.column;
    }
    return out + ": " + error.message;
}

}  // namespace dz
