// The save dialog as a user drives it: the filter offered first, the one chosen,
// and the extension a name typed without one takes.

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/QtDialogs.h"
#include "support/QtPrinting.h"

namespace dz {
namespace {

struct Typed {
    int filterRow;  // -1 leaves the filter as the dialog offers it
    const char* name;
    const char* saved;
    int filterIndex;
};

// Runs the save dialog and, once it is up, chooses the filter and types the name as a user would.
FileDialogSettings save(const QString& folder, const Typed& t, QStringList* offered)
{
    FileDialogSettings settings{QStringLiteral("*.BMP"),
                                QStringLiteral("Bilddatei *.BMP|*.BMP|PNG-Bilddatei *.PNG|*.PNG"),
                                folder + QStringLiteral("/earlier.BMP"), 1};
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        *offered = QStringList{d->selectedNameFilter()};
        if (t.filterRow >= 0) {
            auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            // Stepped with the keyboard: the combo box reports the choice as a click would.
            while (types->currentIndex() != t.filterRow) {
                QTest::keyClick(types, types->currentIndex() < t.filterRow ? Qt::Key_Down : Qt::Key_Up);
            }
        }
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromLatin1(t.name));
        QMetaObject::invokeMethod(d, "accept");
    });
    QtDialogs dialogs;
    EXPECT_TRUE(dialogs.saveFile(settings));
    return settings;
}

TEST(QtDialogs, SaveOffersTheFirstFilterAndANameWithoutExtensionTakesTheChosenOnes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Typed cases[] = {
        {-1, "plain", "plain.BMP", 1},
        {1, "plain", "plain.PNG", 2},
        {1, "typed.bmp", "typed.bmp", 2},
    };
    for (const Typed& t : cases) {
        QStringList offered;
        const FileDialogSettings s = save(dir.path(), t, &offered);
        EXPECT_TRUE(offered.value(0).startsWith(QStringLiteral("Bilddatei *.BMP"))) << offered.value(0).toStdString();
        EXPECT_EQ(s.FileName, dir.filePath(QString::fromLatin1(t.saved))) << t.name;
        EXPECT_EQ(s.FilterIndex, t.filterIndex) << t.name;
    }
}

}  // namespace
}  // namespace dz
