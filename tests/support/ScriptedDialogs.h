#pragma once
// The tests' dialogs: records every text it is shown and answers as scripted.

#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/Dialogs.h"

namespace dztest {

class ScriptedDialogs final : public dz::Dialogs {
public:
    QStringList shown;                                // every information text, in order
    QStringList asked;                                // every confirmation text, in order
    std::vector<dz::DefaultAnswer> defaults;          // each confirmation's default button, in order
    std::deque<std::optional<bool>> answers;          // confirmations, nullopt presses Enter; Yes when empty
    std::deque<std::optional<QString>> files;         // file dialogs; nullopt cancels, empty cancels
    std::vector<dz::FileDialogSettings> fileDialogs;  // each file dialog's settings as opened
    std::deque<int> filterChoices;                    // the filter each confirmed dialog leaves; as opened when empty
    std::deque<std::optional<QColor>> colors;         // colour dialogs; empty cancels
    // Runs while an information box "is open", as the box's own event loop would.
    std::function<void(const QString&)> onInformation;

    using dz::Dialogs::confirm;
    void information(const QString& text) override;
    bool confirm(const QString& text, dz::DefaultAnswer defaultAnswer) override;
    bool openFile(dz::FileDialogSettings& dialog) override;
    bool saveFile(dz::FileDialogSettings& dialog) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;

private:
    bool answerFile(dz::FileDialogSettings& dialog);
};

}  // namespace dztest
