#pragma once
// The endpoint and every interval of the link. The defaults are the receiver's;
// tests shorten the intervals so that the suite stays fast.

#include "link/Endpoint.h"

namespace dz {

struct LinkConfig {
    Endpoint device;               // 192.168.4.1:55555
    int probeTimeoutMs = 500;      // the quick look whether the access point answers
    int connectTimeoutMs = 3000;   // the link's own connect
    int watchdogMs = 3000;         // an exchange without an answer ends after this
    int keepAliveFirstMs = 30000;  // first keep-alive after start
    int keepAliveMs = 60000;       // keep-alive after every request
    int keepAliveReplyMs = 200;    // how long the keep-alive waits for its answer
    int readyWaitMs = 500;         // one readiness wait of a receive loop
    int settleMs = 200;            // wait after the link has been opened
    int searchReplyMs = 500;       // the search waits this long for the version record
    int drainMs = 100;             // closing: the link is drained until it is quiet this long
};

}  // namespace dz
