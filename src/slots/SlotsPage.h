#pragma once
// The page "Speicherplätze": the receiver's 63 memory slots in a grid, their
// names and numbers edited in place, read from and written to the receiver,
// and kept in memory files and CSV files. Every change to the slots can be
// undone; changes neither written nor saved are marked, and nothing discards
// them without asking.

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QUndoStack>

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
    void showMissing(const std::vector<int>& missing) override;

    // The window closes: a running transfer ends at its next wait.
    void stopTransfer() { m_transfer.stop(); }

    // The slots as they are now have reached the receiver or a file: nothing to lose.
    void markStoreSaved();
    // Changes that were neither written to the receiver nor saved.
    bool isModified() const { return !m_undo->isClean(); }
    // Before something replaces the slots: true when there is nothing to lose or the
    // user lets the changes go. Asks with No as the answer Enter gives.
    bool mayDiscardChanges();

    // Ctrl+C on the grid: the records of the selected rows, whole, as raw records for
    // this program and as CSV text for a spreadsheet.
    void copySlots();
    // Ctrl+V on the grid: copied records into the current row and those below it.
    void pasteSlots();
    QUndoStack* undoStack() const { return m_undo; }

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
    QLabel* L_Unsaved;

    // The cell selected last, in grid coordinates; 0 and 0 until the first selection.
    int EditCol = 0;
    int EditRow = 0;

signals:
    // Changes neither written nor saved appeared or are gone.
    void modifiedChanged(bool modified);

private:
    void buildGrid();
    void buildActions();
    // New bytes at `offset` of the store, as one step on the undo stack; nothing when they are there already.
    void change(std::size_t offset, std::vector<uint8_t> bytes, const QString& text);
    // The rows' texts as the store holds them; rows beyond its end are empty.
    void showRows(int first, int last);
    void storeTyped();
    // After the store changed under the cell selected last: that cell shows the store.
    void forgetCell();
    void openMemoryFile(const QString& path);
    void importCsv(const QString& path);
    void setEditing(bool on);
    // Hands a typed text that is still in the cell editor to the cell and stores what was typed.
    void finishEditing();
    NumberFormat numberFormat() const;

    SlotStream m_slotStream;
    SlotTransfer m_transfer;
    bool m_linkFree = true;
    bool m_writable = false;  // the store holds records that came from somewhere
    QUndoStack* m_undo;
    // Leaving the cell selected last stores its text: not when the cell shows what an
    // undo, a paste or an import put there and nobody has selected or typed since.
    bool m_storeOnLeave = false;
    // Text was typed into that cell. Before an undo, a paste or a copy it is stored, as
    // a step of its own; a cell that was only selected is left for when it is left.
    bool m_typed = false;
};

}  // namespace dz
