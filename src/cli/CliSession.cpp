#include "cli/CliSession.h"

#include "link/DeviceLink.h"
#include "link/EventWait.h"
#include "link/RecordWalk.h"
#include "scan/ScanOperation.h"
#include "slots/SlotTransfer.h"

namespace dz {

namespace {

const QString kNotFound = QStringLiteral("Access Point KAV Dizuro not found!");
const QString kLost = QStringLiteral("KAV doesn't respond to WLAN!");
const QString kTimeout = QStringLiteral("Timeout: Device doesn't respond!");

}  // namespace

CliSession::CliSession(LinkConfig config) : m_config(std::move(config)), m_link(std::make_unique<DeviceLink>(m_config))
{
    QObject::connect(m_link.get(), &DeviceLink::versionTextChanged, [this](const QString& text) {
        if (!text.isEmpty()) {
            m_version = text;
        }
    });
    QObject::connect(m_link.get(), &DeviceLink::linkLost, [this] { m_linkLost = kLost; });
}

CliSession::~CliSession() = default;

std::optional<QString> CliSession::open()
{
    if (!m_link->OpenAtStart()) {
        return QStringLiteral("%1 (nothing answers at %2)")
            .arg(kNotFound, QString::fromStdString(m_config.device.text()));
    }
    pumpOnce();
    if (!m_link->linkUp()) {
        return m_linkLost.isEmpty() ? kLost : m_linkLost;
    }
    return std::nullopt;
}

std::variant<int, QString> CliSession::synchronize()
{
    if (!m_link->linkUp()) {
        return m_linkLost.isEmpty() ? kLost : m_linkLost;
    }
    const int code = m_link->QueryDeviceMode();
    if (code == record::kFactory || code == record::kPocket) {
        return code;
    }
    if (!m_linkLost.isEmpty()) {
        return m_linkLost;
    }
    if (code == reply::kTimeout) {
        return kTimeout;
    }
    return QStringLiteral("The receiver did not say which image runs (it answered %1).").arg(code);
}

QString CliSession::requestVersion()
{
    m_version.clear();
    m_link->RequestVersion();
    return m_version;
}

void CliSession::update(PreparedUpdate update, UpdateView& view)
{
    UpdateTransfer transfer(*m_link, view);
    transfer.run(std::move(update));
}

void CliSession::scan(ScanView& view)
{
    ScanOperation operation(*m_link, view);
    operation.B_DispcpyClick();
}

SlotTransfer::Result CliSession::readSlots(SlotStream& store, SlotView& view)
{
    SlotTransfer transfer(*m_link, store, view);
    return transfer.readAll();
}

SlotTransfer::Result CliSession::writeSlots(SlotStream& store, SlotView& view)
{
    SlotTransfer transfer(*m_link, store, view);
    return transfer.writeAll();
}

SlotTransfer::Result CliSession::clearSlots(SlotStream& store, SlotView& view)
{
    SlotTransfer transfer(*m_link, store, view);
    return transfer.clearAll();
}

bool CliSession::linkUp() const
{
    return m_link->linkUp();
}

void CliSession::close()
{
    m_link->DrainAndClose();
}

}  // namespace dz
