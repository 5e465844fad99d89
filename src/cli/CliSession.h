#pragma once
// The command line's one link to the receiver. It opens the link as the window
// does at start, synchronizes, and runs the window's own operations through the
// command line's views. Everything the program does with the link is in here.

#include <QString>

#include <memory>
#include <optional>
#include <variant>

#include "link/LinkConfig.h"
#include "scan/ScanView.h"
#include "slots/SlotStream.h"
#include "slots/SlotTransfer.h"
#include "slots/SlotView.h"
#include "update/UpdateTransfer.h"

namespace dz {

class DeviceLink;

class CliSession {
public:
    explicit CliSession(LinkConfig config);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Opens the link; the message for the user when the receiver is not there.
    std::optional<QString> open();
    // "Synchronize": which image runs, 85 (pocket software) or 90 (factory image),
    // or the message for the user when the receiver did not say.
    std::variant<int, QString> synchronize();
    // The receiver's versions ("LAN V05; KAV0054 V107"); empty when none came.
    QString requestVersion();

    void update(PreparedUpdate update, UpdateView& view);
    void scan(ScanView& view);
    SlotTransfer::Result readSlots(SlotStream& store, SlotView& view);
    SlotTransfer::Result writeSlots(SlotStream& store, SlotView& view);
    SlotTransfer::Result clearSlots(SlotStream& store, SlotView& view);

    bool linkUp() const;
    // Set once the link was lost: the window's own message for it.
    const QString& linkLost() const { return m_linkLost; }

    void close();

private:
    LinkConfig m_config;
    std::unique_ptr<DeviceLink> m_link;
    QString m_version;
    QString m_linkLost;
};

}  // namespace dz
