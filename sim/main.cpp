// dizuro-sim: the simulated receiver as a program of its own.
//   dizuro-sim --listen 127.0.0.1:55555 --mode factory --split

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "SimReceiver.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

struct Option {
    const char* name;
    const char* argument;  // nullptr: a switch
    const char* help;
    std::function<bool(std::string_view, dzsim::SimState&)> apply;
};

bool toInt(std::string_view text, int* value)
{
    char* end = nullptr;
    const std::string copy(text);
    const long v = std::strtol(copy.c_str(), &end, 10);
    if (copy.empty() || *end != '\0' || v < 0 || v > 1000000000) {
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

bool toSlot(std::string_view text, int* slot)
{
    return toInt(text, slot) && *slot >= 1 && *slot <= dzsim::SlotsJob::kSlots;
}

std::vector<Option> options()
{
    using S = dzsim::SimState;
    return {
        {"--mode", "pocket|factory|CODE", "which image runs: the answer to 0x55 (default pocket)",
         [](std::string_view v, S& s) {
             int code = 0;
             if (v == "pocket") {
                 s.sync.imageAnswer = dzsim::SyncJob::kPocket;
             } else if (v == "factory") {
                 s.sync.imageAnswer = dzsim::SyncJob::kFactory;
             } else if (toInt(v, &code) && code < 256) {
                 s.sync.imageAnswer = static_cast<uint8_t>(code);
             } else {
                 return false;
             }
             return true;
         }},
        {"--split", nullptr, "every answer byte in a write of its own, 1 ms apart",
         [](std::string_view, S& s) { return s.faults.split = true; }},
        {"--coalesce", nullptr, "all frames of one answer in one write",
         [](std::string_view, S& s) { return s.faults.coalesce = true; }},
        {"--delay", "MS", "delay every answer by MS milliseconds",
         [](std::string_view v, S& s) { return toInt(v, &s.faults.answerDelayMs); }},
        {"--jitter", "MS", "delay every answer by up to MS milliseconds more, at random",
         [](std::string_view v, S& s) { return toInt(v, &s.faults.answerJitterMs); }},
        {"--silence-after", "N", "answer nothing after the first N requests",
         [](std::string_view v, S& s) { return toInt(v, &s.faults.silenceAfter); }},
        {"--drop-after", "N", "close the connection when request N+1 arrives",
         [](std::string_view v, S& s) { return toInt(v, &s.faults.dropAfter); }},
        {"--oversize-at", "N", "answer request N with a frame that says 1100 bytes",
         [](std::string_view v, S& s) { return toInt(v, &s.faults.oversizeAt); }},
        {"--undersize-at", "N", "answer request N with a frame that says 2 bytes",
         [](std::string_view v, S& s) { return toInt(v, &s.faults.undersizeAt); }},
        {"--unknown-at", "N", "answer request N with a record of the unknown code 7",
         [](std::string_view v, S& s) { return toInt(v, &s.faults.unknownCodeAt); }},
        {"--random-faults", "PERMILLE", "let PERMILLE answers in a thousand go wrong in a random way",
         [](std::string_view v, S& s) {
             return toInt(v, &s.faults.randomPerMille) && s.faults.randomPerMille <= 1000;
         }},
        {"--seed", "N", "seed of the random faults (default 1)",
         [](std::string_view v, S& s) {
             int seed = 0;
             const bool ok = toInt(v, &seed);
             s.faults.randomSeed = static_cast<uint32_t>(seed);
             return ok;
         }},
        {"--clear-ms", "MS", "clearing the memory before an update takes MS milliseconds (default 1200)",
         [](std::string_view v, S& s) { return toInt(v, &s.update.clearMs); }},
        {"--start-answer", "CODE", "answer an update's start request with CODE instead of 90",
         [](std::string_view v, S& s) {
             int code = 0;
             const bool ok = toInt(v, &code) && code < 256;
             s.update.startAnswer = static_cast<uint8_t>(code);
             return ok;
         }},
        {"--busy-every", "N", "answer every Nth update block with 85 (busy) before its 0",
         [](std::string_view v, S& s) { return toInt(v, &s.update.busyEvery); }},
        {"--busy-repeats", "N", "how many 85s a busy answer gives (default 1)",
         [](std::string_view v, S& s) { return toInt(v, &s.update.busyRepeats); }},
        {"--slot-short-blocks", nullptr, "send slot blocks of 256 bytes, without the last 8 record bytes",
         [](std::string_view, S& s) { return s.memory.shortBlocks = true; }},
        {"--slot-wrong-length", "SLOT", "send the block of SLOT with 260 bytes",
         [](std::string_view v, S& s) { return toSlot(v, &s.memory.wrongLengthSlot); }},
        {"--slot-out-of-range", "SLOT", "send the block of SLOT with the slot number 64",
         [](std::string_view v, S& s) { return toSlot(v, &s.memory.outOfRangeSlot); }},
        {"--slot-missing", "SLOT", "never send the block of SLOT",
         [](std::string_view v, S& s) { return toSlot(v, &s.memory.missingSlot); }},
        {"--scan-status", "CODE", "answer a scan request with the status CODE instead of 0",
         [](std::string_view v, S& s) { return toInt(v, &s.scan.status) && s.scan.status < 256; }},
        {"--scan-wrong-length", "COLUMN", "send the record of COLUMN one byte too long",
         [](std::string_view v, S& s) { return toInt(v, &s.scan.wrongLengthColumn); }},
        {"--scan-index-beyond", "COLUMN", "send the record of COLUMN with the index W",
         [](std::string_view v, S& s) { return toInt(v, &s.scan.indexBeyondColumn); }},
        {"--scan-out-of-order", nullptr, "send the columns in swapped pairs: 1, 0, 3, 2, ...",
         [](std::string_view, S& s) { return s.scan.outOfOrder = true; }},
        {"--scan-silent", "COLUMN", "never send COLUMN: the scan stalls there",
         [](std::string_view v, S& s) { return toInt(v, &s.scan.silentColumn); }},
        {"--slot-wrong-store", "SLOT", "acknowledge a write to SLOT but store the record with a byte changed",
         [](std::string_view v, S& s) { return toSlot(v, &s.memory.wrongStoreSlot); }},
        {"--slot-busy", "SLOT", "answer a write to SLOT with 85 (busy) and keep the old record",
         [](std::string_view v, S& s) { return toSlot(v, &s.memory.busyWriteSlot); }},
    };
}

void usage(std::FILE* out)
{
    std::fprintf(out,
                 "Usage: dizuro-sim [--listen 127.0.0.1:PORT] [options]\n"
                 "A simulated KAV Dizuro receiver on a loopback TCP port (default 127.0.0.1:55555).\n\n");
    for (const auto& o : options()) {
        std::string left = std::string(o.name) + (o.argument ? std::string(" ") + o.argument : "");
        std::fprintf(out, "  %-28s %s\n", left.c_str(), o.help);
    }
    std::fprintf(out, "  %-28s %s\n", "--help", "this text");
}

}  // namespace

int main(int argc, char** argv)
{
    std::string host = "127.0.0.1";
    int port = 55555;
    dzsim::SimState settings;
    const auto table = options();
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        if (arg == "--listen" && i + 1 < argc) {
            const std::string_view where = argv[++i];
            const auto colon = where.rfind(':');
            host = std::string(where.substr(0, colon));
            if (colon == std::string_view::npos || !toInt(where.substr(colon + 1), &port) || port > 65535) {
                std::fprintf(stderr, "dizuro-sim: --listen takes HOST:PORT, e.g. 127.0.0.1:55555\n");
                return 2;
            }
            continue;
        }
        bool known = false;
        for (const auto& o : table) {
            if (arg != o.name) {
                continue;
            }
            known = true;
            std::string_view value;
            if (o.argument) {
                if (i + 1 >= argc) {
                    std::fprintf(stderr, "dizuro-sim: %s needs %s\n", o.name, o.argument);
                    return 2;
                }
                value = argv[++i];
            }
            if (!o.apply(value, settings)) {
                std::fprintf(stderr, "dizuro-sim: bad value for %s: %.*s\n", o.name, static_cast<int>(value.size()),
                             value.data());
                return 2;
            }
        }
        if (!known) {
            std::fprintf(stderr, "dizuro-sim: unknown option %.*s (see --help)\n", static_cast<int>(arg.size()),
                         arg.data());
            return 2;
        }
    }

    dzsim::SimReceiver sim;
    sim.with([&](dzsim::SimState& s) {
        s.sync = settings.sync;
        s.update = settings.update;
        s.scan = settings.scan;
        s.memory = settings.memory;
        s.stats.keepLog = false;
    });
    sim.setFaults(settings.faults);
    if (!sim.start(host, static_cast<uint16_t>(port))) {
        std::fprintf(stderr, "dizuro-sim: %s\n", sim.error().c_str());
        return 1;
    }
    std::printf("dizuro-sim listening on %s:%u\n", sim.host().c_str(), sim.port());
    std::fflush(stdout);

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    while (!g_stop) {
        ::pause();
    }
    sim.stop();
    const auto stats = sim.stats();
    std::printf("dizuro-sim: %llu connections, %llu requests\n", static_cast<unsigned long long>(stats.connections),
                static_cast<unsigned long long>(stats.requests));
    return 0;
}
