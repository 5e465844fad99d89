#include "link/LinkOperation.h"
#include "link/Reply.h"

namespace dz {

const char* operationName(LinkOperation operation)
{
    switch (operation) {
        case LinkOperation::None:
            return "none";
        case LinkOperation::Startup:
            return "start-up";
        case LinkOperation::Sync:
            return "sync";
        case LinkOperation::Search:
            return "search";
        case LinkOperation::Update:
            return "update";
        case LinkOperation::Scan:
            return "scan";
        case LinkOperation::SlotRead:
            return "slot read";
        case LinkOperation::SlotWrite:
            return "slot write";
        case LinkOperation::SlotClear:
            return "slot clear";
        case LinkOperation::Listen:
            return "listen";
    }
    return "?";
}

const char* endName(Reply::End end)
{
    switch (end) {
        case Reply::End::Frame:
            return "frame";
        case Reply::End::Timeout:
            return "timeout";
        case Reply::End::LinkLost:
            return "link lost";
        case Reply::End::Refused:
            return "refused";
        case Reply::End::BadFrame:
            return "bad frame";
        case Reply::End::UnknownRecord:
            return "unknown record";
        case Reply::End::Interrupted:
            return "interrupted";
        case Reply::End::Closed:
            return "closed";
    }
    return "?";
}

}  // namespace dz
