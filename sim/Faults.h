#pragma once
// The fault layer: what a flaky link or a confused receiver does to the answers.
// Request numbers count from 1, from the moment the faults were set; -1 is off.

#include <cstdint>
#include <map>

#include "Job.h"

namespace dzsim {

struct Faults {
    bool split = false;          // every answer byte in a write of its own...
    int splitGapMs = 1;          // ...this far apart
    bool coalesce = false;       // all frames of one answer in one write
    int answerDelayMs = 0;       // added before every answer (a radio round trip)
    int answerJitterMs = 0;      // and up to this much more, at random, as over Wi-Fi
    int silenceAfter = -1;       // requests after the first N get no answer
    int dropAfter = -1;          // the connection is closed when request N+1 arrives
    int oversizeAt = -1;         // request N is answered by a frame whose length field is 1100
    int undersizeAt = -1;        // request N is answered by a frame whose length field is 2
    int unknownCodeAt = -1;      // request N is answered by a record with the unknown code 7
    std::map<int, Bytes> rawAt;  // request N is answered by exactly these bytes, in one write
    // This many answers in a thousand, picked by a generator seeded with randomSeed,
    // go wrong in one of the ways of RandomFault: a flaky link, reproducibly.
    int randomPerMille = 0;
    uint32_t randomSeed = 1;
};

enum class RandomFault { None, Silence, Split, Drop, Oversize, Undersize, Unknown, Late };
constexpr int kRandomFaultKinds = 7;
constexpr int kLateAnswerMs = 600;

}  // namespace dzsim
