#pragma once
// The window with the memory-slot page shown, against the simulated receiver,
// and the few steps every page test takes: files, edits, a read held at a slot.

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "slots/SlotsPage.h"
#include "support/AppHarness.h"

namespace dztest {

using Bytes = std::vector<uint8_t>;

inline Bytes concat(const std::array<Bytes, 63>& records)
{
    Bytes all;
    for (const Bytes& r : records) {
        all.insert(all.end(), r.begin(), r.end());
    }
    return all;
}

inline Bytes seed()
{
    return concat(dzsim::SlotsJob::seedRecords());
}

inline void writeFile(const QString& path, const Bytes& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

inline Bytes readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray b = f.readAll();
    return Bytes(b.begin(), b.end());
}

inline QStringList rowTexts(const dz::SlotsPage& page, int row)
{
    QStringList out;
    for (int column = 1; column <= 11; ++column) {
        out << page.cell(column, row)->text();
    }
    return out;
}

class SlotsPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        h.sim.with([](dzsim::SimState& s) { s.stats.keepLog = true; });
        h.start();
        w().PC_main->setCurrentWidget(page());
        page()->setLocale(QLocale(QLocale::German, QLocale::Germany));
    }

    dz::TFMain& w() { return *h.window; }
    dz::SlotsPage* page() { return w().TS_Speicher; }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    std::array<Bytes, 63> simRecords()
    {
        return h.sim.with([](dzsim::SimState& s) { return s.memory.records; });
    }
    uint64_t requests(uint8_t code) { return h.sim.stats().byCode[code]; }
    QString source() const { return h.window->TS_Speicher->LB_Speicher->item(0)->text(); }

    void open(const QString& file)
    {
        h.dialogs.files.push_back(file);
        w().MI_OeffnenClick();
    }
    void save(const QString& file)
    {
        h.dialogs.files.push_back(file);
        w().MI_SpeichernClick();
    }
    // Selects a cell, puts `text` into it as the cell editor would, and leaves it for the next column.
    void edit(int column, int row, const QString& text)
    {
        page()->SG_Speicher->setCurrentCell(row - 1, column - 1);
        page()->cell(column, row)->setText(text);
        page()->SG_Speicher->setCurrentCell(row - 1, column == 2 ? 2 : 1);
    }
    // Runs `action` inside a running read, while it waits for the block of slot `slot`, which
    // the receiver holds back until the watchdog moves the read on.
    void readWith(int slot, const std::function<void()>& action)
    {
        h.sim.with([slot](dzsim::SimState& s) { s.memory.missingSlot = slot; });
        const QString count = QString::number((slot - 1) * 256);
        bool done = false;
        QTimer poll;
        poll.setInterval(1);
        // The count shows as soon as the block before has come; the request for this slot may
        // still be on its way then.
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!done && page()->L_SBytes->text() == count && requests(0x10) == static_cast<uint64_t>(slot)) {
                done = true;
                action();
            }
        });
        poll.start();
        page()->B_LadenClick();
        EXPECT_TRUE(done) << "the read never showed " << count.toStdString();
    }

    AppHarness h;
    QTemporaryDir dir;
};

}  // namespace dztest
