// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "modal_driver.h"
#include "platform/gui/file_filter.h"
#include "platform/gui/qt_dialogs.h"
#include "platform/scratch_folder.h"

namespace {

struct SeenFileDialog {
    QString caption;
    QString folder;
    QStringList filters;
    QString selectedFilter;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    bool confirmsOverwrite = false;
};

// Notes what the file dialog looks like, then chooses `path`; an empty path cancels, and
// kProposed accepts the name the dialog proposes.
const QString kProposed = QStringLiteral("<proposed>");

void chooseInFileDialog(SeenFileDialog& seen, const QString& path) {
    whenShown<QFileDialog>([&seen, path](QFileDialog* dialog) {
        seen = {dialog->windowTitle(),
                dialog->directory().path(),
                dialog->nameFilters(),
                dialog->selectedNameFilter(),
                dialog->acceptMode(),
                dialog->fileMode(),
                !dialog->testOption(QFileDialog::DontConfirmOverwrite)};
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed as a user types it: selectFile() races the dialog's own loading of the folder.
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (path != kProposed && nameEdit) nameEdit->setText(path);
        if (path != kProposed && !nameEdit) dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
    });
}

class QtFileDialogs : public ::testing::Test {
protected:
    void SetUp() override { dir.writeFile("list.dlf"); }

    ScratchFolder dir;
    platform::QtDialogs dialogs;
};

TEST_F(QtFileDialogs, OpenAndFolderDialogsShowWhatWasAskedAndReturnTheChoice) {
    SeenFileDialog seen;
    chooseInFileDialog(seen, dir.path("list.dlf"));
    const QString chosen = dialogs.openFile(
        {"Open Drawing List File", dir.path(), "DLF Files (*.dlf)|*.dlf|All Files (*.*)|*.*", {}});
    EXPECT_EQ(chosen, dir.path("list.dlf"));
    EXPECT_EQ(seen.caption, "Open Drawing List File");
    EXPECT_EQ(seen.folder, dir.path());
    EXPECT_EQ(seen.filters, platform::qtNameFilters("DLF Files (*.dlf)|*.dlf|All Files (*.*)|*.*"));
    EXPECT_EQ(seen.selectedFilter, "DLF Files (*.dlf)");  // shown as given
    EXPECT_EQ(seen.acceptMode, QFileDialog::AcceptOpen);
    EXPECT_EQ(seen.fileMode, QFileDialog::ExistingFile);

    chooseInFileDialog(seen, kProposed);
    EXPECT_EQ(dialogs.pickFolder({"Select a directory where DWG files exist", dir.path()}),
              dir.path());
    EXPECT_EQ(seen.caption, "Select a directory where DWG files exist");
    EXPECT_EQ(seen.folder, dir.path());
    EXPECT_EQ(seen.fileMode, QFileDialog::Directory);

    // Cancelled: nothing chosen.
    chooseInFileDialog(seen, {});
    EXPECT_EQ(dialogs.openFile({"Open", dir.path(), "", {}}), "");
    chooseInFileDialog(seen, {});
    EXPECT_EQ(dialogs.pickFolder({"Pick", dir.path()}), "");
}

TEST_F(QtFileDialogs, SaveProposesTheNameAndAsksBeforeCreatingOrReplacing) {
    platform::FileDialogRequest request{"Save Text File", dir.path(),
                                        "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*", "file.csv"};
    request.confirmCreate = true;
    SeenFileDialog seen;
    SeenFileDialog again;
    QString question;
    chooseInFileDialog(seen, kProposed);
    // Asked before creating the file: No brings the dialog back, which is then cancelled.
    whenShown<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        chooseInFileDialog(again, {});
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialogs.saveFile(request), "");
    EXPECT_TRUE(question.contains("file.csv")) << question.toStdString();
    EXPECT_EQ(again.caption, "Save Text File");
    EXPECT_EQ(seen.caption, "Save Text File");
    EXPECT_EQ(seen.folder, dir.path());
    EXPECT_EQ(seen.acceptMode, QFileDialog::AcceptSave);
    EXPECT_TRUE(seen.confirmsOverwrite);

    // Asked before replacing an existing file; the creation question does not come.
    request.fileName = "list.dlf";
    chooseInFileDialog(seen, kProposed);
    whenShown<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(dialogs.saveFile(request), dir.path("list.dlf"));
    EXPECT_TRUE(question.contains("list.dlf")) << question.toStdString();

    request.confirmCreate = false;
    request.confirmOverwrite = false;
    chooseInFileDialog(seen, kProposed);
    EXPECT_EQ(dialogs.saveFile(request), dir.path("list.dlf"));
    EXPECT_FALSE(seen.confirmsOverwrite);
}

}  // namespace
