#include "slots/StoreChange.h"

#include <algorithm>

namespace dz {

StoreChange::StoreChange(SlotStream& store, std::size_t offset, std::vector<uint8_t> bytes,
                         std::function<void(int first, int last)> shown, const QString& text)
    : QUndoCommand(text),
      m_store(store),
      m_offset(offset),
      m_after(std::move(bytes)),
      m_sizeBefore(store.size()),
      m_shown(std::move(shown))
{
    if (offset < store.size()) {
        const auto first = store.bytes().begin() + static_cast<std::ptrdiff_t>(offset);
        m_before.assign(first, first + static_cast<std::ptrdiff_t>(std::min(m_after.size(), store.size() - offset)));
    }
}

void StoreChange::redo()
{
    m_store.write(m_offset, m_after.data(), m_after.size());
    show();
}

void StoreChange::undo()
{
    m_store.write(m_offset, m_before.data(), m_before.size());
    m_store.resize(m_sizeBefore);
    show();
}

void StoreChange::show() const
{
    if (m_after.empty()) {
        return;
    }
    const auto first = static_cast<int>(m_offset / slot::kRecordSize) + 1;
    const auto last = static_cast<int>((m_offset + m_after.size() - 1) / slot::kRecordSize) + 1;
    m_shown(first, last);
}

}  // namespace dz
