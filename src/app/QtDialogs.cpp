#include "app/QtDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <algorithm>

namespace dz {

namespace {

const QString kTitle = QStringLiteral("Dizuro Link");

QString anyCase(const QString& pattern)
{
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter()) {
            out += QLatin1Char('[') + c.toUpper() + c.toLower() + QLatin1Char(']');
        } else {
            out += c;
        }
    }
    return out;
}

QString suffixOf(const QString& defaultExt)
{
    QString s = defaultExt;
    if (s.startsWith(QLatin1String("*"))) {
        s.remove(0, 1);
    }
    if (s.startsWith(QLatin1Char('.'))) {
        s.remove(0, 1);
    }
    return s;
}

// The first pattern of each filter entry: "*.BMP" of "Bilddatei *.BMP|*.BMP".
QStringList filterPatterns(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        out << parts[i + 1].section(QLatin1Char(';'), 0, 0).trimmed();
    }
    return out;
}

// With the details hidden the dialog names a filter by its description alone.
int filterIndexOf(const QStringList& filters, const QString& named)
{
    for (int i = 0; i < filters.size(); ++i) {
        if (filters[i] == named || filters[i].section(QLatin1String(" ("), 0, 0) == named) {
            return i;
        }
    }
    return -1;
}

}  // namespace

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << anyCase(p.trimmed());
        }
        out << parts[i] + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

void QtDialogs::information(const QString& text)
{
    if (m_muted) {
        return;
    }
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtDialogs::confirm(const QString& text, DefaultAnswer defaultAnswer)
{
    if (m_muted) {
        return false;
    }
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(defaultAnswer == DefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::runFileDialog(FileDialogSettings& dialog, bool save)
{
    QFileDialog d(m_parent);
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The descriptions already name their patterns; the any-case globs would only confuse.
    d.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = qtNameFilters(dialog.Filter);
    const QStringList patterns = filterPatterns(dialog.Filter);
    d.setNameFilters(filters);
    d.setDefaultSuffix(suffixOf(dialog.DefaultExt));
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size()) {
        d.selectNameFilter(filters[dialog.FilterIndex - 1]);
        if (dialog.FilterIndex > 1) {
            d.setDefaultSuffix(suffixOf(patterns[dialog.FilterIndex - 1]));
        }
    }
    // As the system's own dialog does: a name typed without extension takes the chosen filter's.
    QObject::connect(&d, &QFileDialog::filterSelected, &d, [&d, &filters, &patterns](const QString& chosen) {
        const int i = filterIndexOf(filters, chosen);
        if (i >= 0) {
            d.setDefaultSuffix(suffixOf(patterns[i]));
        }
    });
    if (!dialog.FileName.isEmpty()) {
        d.setDirectory(QFileInfo(dialog.FileName).absolutePath());
    }
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) {
        return false;
    }
    dialog.FileName = d.selectedFiles().constFirst();
    dialog.FilterIndex = std::max(filterIndexOf(filters, d.selectedNameFilter()), 0) + 1;
    return true;
}

bool QtDialogs::openFile(FileDialogSettings& dialog)
{
    return runFileDialog(dialog, false);
}

bool QtDialogs::saveFile(FileDialogSettings& dialog)
{
    return runFileDialog(dialog, true);
}

std::optional<QColor> QtDialogs::chooseColor(const QColor& initial)
{
    const QColor c = QColorDialog::getColor(initial, m_parent);
    if (!c.isValid()) {
        return std::nullopt;
    }
    return c;
}

}  // namespace dz
