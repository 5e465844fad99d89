#pragma once
// The program's dialogs: Qt's message boxes, file and colour dialogs.

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "app/Dialogs.h"

namespace dz {

class QtDialogs final : public Dialogs {
public:
    void setParent(QWidget* parent) { m_parent = parent; }
    // Once the window is closing, an operation that ends under it reports to nobody.
    void setMuted(bool muted) { m_muted = muted; }

    using Dialogs::confirm;
    void information(const QString& text) override;
    bool confirm(const QString& text, DefaultAnswer defaultAnswer) override;
    bool openFile(FileDialogSettings& dialog) override;
    bool saveFile(FileDialogSettings& dialog) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;

private:
    bool runFileDialog(FileDialogSettings& dialog, bool save);

    QPointer<QWidget> m_parent;
    bool m_muted = false;
};

// "Desc *.KPF|*.KPF|Other|*.BIN" -> Qt name filters "Desc *.KPF (*.[Kk][Pp][Ff])", ...;
// patterns match either case, as they do on the receiver owners' Windows machines.
QStringList qtNameFilters(const QString& filter);

}  // namespace dz
