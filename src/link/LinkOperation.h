#pragma once
// What holds the link. Only one of these talks to the receiver at a time.

namespace dz {

enum class LinkOperation {
    None,
    Startup,    // the link opened at start, then the version request
    Sync,       // "Synchronize": which image runs
    Search,     // "Find WLAN Connection"
    Update,     // a software transfer
    Scan,       // a display scan
    SlotRead,   // "Laden vom KAV72"
    SlotWrite,  // "Speichern im KAV72"
    SlotClear,  // "Alles Löschen"
    Listen,     // the spectrum page's receive loop
};

}  // namespace dz
