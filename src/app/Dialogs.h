#pragma once
// Every box and dialog the program shows goes through this interface: Qt's own
// dialogs in the program, a scripted double in the tests.

#include <QColor>
#include <QString>

#include <optional>

namespace dz {

// A file dialog's settings; they stay as the last user left them.
struct FileDialogSettings {
    QString DefaultExt;   // "*.KPF": added when a typed name has no extension
    QString Filter;       // "Dizuro Software *.KPF|*.KPF|LAN Driver *.BIN|*.BIN"
    QString FileName;     // the last confirmed choice, full path
    int FilterIndex = 1;  // the filter chosen, from 1: offered first, and as the user left it
};

// The button of a confirmation that Enter presses. No, where a stray Enter would lose the user's data.
enum class DefaultAnswer { Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An information box with a single OK button.
    virtual void information(const QString& text) = 0;
    // A confirmation with Yes and No; true for Yes.
    virtual bool confirm(const QString& text, DefaultAnswer defaultAnswer) = 0;
    bool confirm(const QString& text) { return confirm(text, DefaultAnswer::Yes); }
    // Runs an open or save dialog; on confirmation sets dialog.FileName and returns true.
    virtual bool openFile(FileDialogSettings& dialog) = 0;
    virtual bool saveFile(FileDialogSettings& dialog) = 0;
    // The chosen colour, nothing when cancelled.
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
};

}  // namespace dz
