#pragma once
// Slots as CSV text, for a spreadsheet and for a command-line front end: one
// header line, then one line per slot (RFC 4180 quoting, UTF-8):
//
//   Slot,Name,Frequency,Mode,UValue,SValue,Flag1kHz,Flag0Ohm,Flag20dB,LowerEdge,UpperEdge,Number,Record
//   12,2m FM Anruf,145500.0,Auto,12500,1500,0,0,0,Auto,Auto,12,0c00...
//
// Record is the whole record in hex, so that a file made here comes back byte
// for byte. On the way in, Record (when present) is the base and every other
// filled column sets its field; a column that holds what the base already shows
// changes none of its bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "slots/SlotRecord.h"

namespace dz {

struct CsvSlot {
    int slot = 0;  // 1 to 63
    SlotRecord record;
};

// Where a CSV text was refused: its line (the header is line 1), the column's
// header name (empty when the line as a whole is wrong) and why.
struct CsvError {
    int line = 0;
    std::string column;
    std::string message;
};

struct CsvSlots {
    std::vector<CsvSlot> entries;  // in the order of their lines
    std::optional<CsvError> error;
};

struct CsvMemoryFile {
    std::vector<uint8_t> bytes;
    std::optional<CsvError> error;
};

std::string slotsToCsv(const std::vector<CsvSlot>& entries);

// The records the store (or a memory file) holds, at most the 63 slots; a last record
// cut short reads as zero where it ends.
std::string slotsToCsv(const std::vector<uint8_t>& store);

// Reads a CSV text. A line without Record starts from the record of its slot in
// `base` (zero where the store ends). A line without Slot is the slot after the line
// before. On the first bad value, nothing but the error.
CsvSlots csvToSlots(std::string_view csv, const std::vector<uint8_t>& base = {});

// A memory file of the 63 slots from a CSV text; slots the text does not name are zero.
CsvMemoryFile csvToMemoryFile(std::string_view csv);

// "line 4, column Frequency: ..." for the user.
std::string describe(const CsvError& error);

}  // namespace dz
