#pragma once
// The page "Speicherplätze": the receiver's 63 memory slots in a grid, their
// names and numbers edited in place, read from and written to the receiver,
// and kept in memory files.

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "app/Page.h"
#include "slots/SlotStream.h"
#include "slots/SlotTexts.h"
#include "slots/SlotTransfer.h"
#include "slots/SlotView.h"

namespace dz {

class SlotsPage final : public Page, public SlotView {
    Q_OBJECT
public:
    explicit SlotsPage(PageContext context, QWidget* parent = nullptr);
    ~SlotsPage() override;

    void B_LadenClick();
    void B_SpeichernClick();
    void B_LoeschenClick();

    // The grid's cell selection, in grid coordinates: row 0 and column 0 are the fixed ones.
    void SG_SpeicherSelectCell(int column, int row);
    // The grid has lost the focus.
    void SG_SpeicherExit();
    // Writes the text of the cell selected last into the store, for the name and the number.
    void StoreEditedCell();

    void fileOpen() override;
    void fileSave() override;
    void setLinkFree(bool free) override;

    // The window closes: a running transfer ends at its next wait.
    void stopTransfer() { m_transfer.stop(); }

    const SlotStream& slotStream() const { return m_slotStream; }
    // The grid cell at grid coordinates (column 1-11, row 1-63).
    QTableWidgetItem* cell(int column, int row) const;

    // SlotView
    void setTransferButtonsEnabled(bool enabled) override;
    void showByteCount(const QString& text) override;
    void showSource(const QString& text) override;
    void ShowSlotRecord(const SlotRecord& record, int row) override;
    void showMessage(const QString& text) override;

    QLabel* Label1;
    QTableWidget* SG_Speicher;
    QPushButton* B_Laden;
    QPushButton* B_Speichern;
    QPushButton* B_Loeschen;
    QLabel* Label2;
    QListWidget* LB_Speicher;
    QLabel* Label3;
    QLabel* L_SBytes;

    // The cell selected last, in grid coordinates; 0 and 0 until the first selection.
    int EditCol = 0;
    int EditRow = 0;

private:
    void buildGrid();
    void setEditing(bool on);
    // Hands a typed text that is still in the cell editor to the cell and stores it.
    void finishEditing();
    NumberFormat numberFormat() const;

    SlotStream m_slotStream;
    SlotTransfer m_transfer;
    bool m_linkFree = true;
    bool m_writable = false;  // the store holds records that came from somewhere
};

}  // namespace dz
