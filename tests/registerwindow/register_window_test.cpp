// SPDX-License-Identifier: GPL-3.0-or-later
// The register window on real drawings: an index run on its own thread with its progress and
// outcome, Cancel, closing during a run, a register that cannot be opened, and the settings.

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QRadioButton>
#include <atomic>

#include "mainwindow/main_window_controls.h"
#include "register_window_fixture.h"

namespace {

TEST_F(RegisterWindowTest, IndexesTheFoldersAndShowsWhatTheRegisterHoldsOfEach) {
    open();
    EXPECT_EQ(rows(), QStringList{m_folder + "\t\t\t"});
    EXPECT_EQ(window->statusLabel->text(), "No register file yet: Index Now makes it.");
    EXPECT_FALSE(QFile::exists(m_database)) << "looking makes no register";

    const QDateTime started = QDateTime::currentDateTime();
    window->indexButton->click();
    EXPECT_FALSE(window->indexButton->isEnabled());
    EXPECT_TRUE(window->cancelButton->isEnabled());
    waitForTheRun();
    EXPECT_EQ(window->summaryLabel->text(),
              "Indexed 3 drawings: 3 read, 0 unchanged, 0 moved, 0 could not be read, 0 marked "
              "missing, 0 forgotten.");
    ASSERT_EQ(rows().size(), 1);
    const QStringList columns = rows()[0].split('\t');
    EXPECT_EQ(columns.mid(0, 3), (QStringList{m_folder, "3", "0"}));
    const QDateTime indexed = QDateTime::fromString(columns[3], "yyyy-MM-dd HH:mm");
    EXPECT_TRUE(indexed.isValid()) << columns[3].toStdString();
    EXPECT_LE(indexed.secsTo(started), 60);
    EXPECT_LE(indexed, QDateTime::currentDateTime());
    EXPECT_EQ(window->statusLabel->text(), "");
    EXPECT_TRUE(window->indexButton->isEnabled());

    // A drawing gone: the next run reads nothing and counts it missing.
    ASSERT_TRUE(QFile::remove(m_folder + "/tank-farm.dxf"));
    window->indexButton->click();
    waitForTheRun();
    EXPECT_EQ(window->summaryLabel->text(),
              "Indexed 2 drawings: 0 read, 2 unchanged, 0 moved, 0 could not be read, 1 marked "
              "missing, 0 forgotten.");
    EXPECT_EQ(rows()[0].split('\t').mid(0, 3), (QStringList{m_folder, "2", "1"}));
}

// The run waits on its first drawing until it is cancelled.
void holdUntilCancelled(reg::IndexOptions& options, std::atomic<bool>& reached) {
    options.jobs = 1;
    const std::atomic<bool>* cancel = options.cancel;
    options.reaching = [cancel, &reached](const QString&) {
        reached = true;
        while (!cancel->load()) QThread::msleep(1);
    };
}

TEST_F(RegisterWindowTest, CancelStopsTheRunAndTheWindowStaysUsable) {
    std::atomic<bool> reached{false};
    bool hold = true;
    open([&](reg::IndexOptions& options) {
        if (hold) holdUntilCancelled(options, reached);
    });
    window->indexButton->click();
    const QDeadlineTimer deadline(60000);
    while (!reached && !deadline.hasExpired()) QCoreApplication::processEvents();
    ASSERT_TRUE(reached);
    // The window answers while the run goes on.
    EXPECT_TRUE(window->isIndexing());
    window->fileEdit->setText("typed during the run");
    window->fileEdit->setText(m_database);
    window->cancelButton->click();
    waitForTheRun();
    EXPECT_TRUE(window->summaryLabel->text().startsWith("Cancelled. 3 drawings: "))
        << window->summaryLabel->text().toStdString();
    EXPECT_TRUE(window->indexButton->isEnabled());
    EXPECT_FALSE(window->cancelButton->isEnabled());

    hold = false;
    window->indexButton->click();
    waitForTheRun();
    EXPECT_TRUE(window->summaryLabel->text().startsWith("Indexed 3 drawings: "))
        << window->summaryLabel->text().toStdString();
    EXPECT_EQ(rows()[0].split('\t')[1], "3");
}

TEST_F(RegisterWindowTest, ClosingDuringARunCancelsItAndWaits) {
    std::atomic<bool> reached{false};
    open([&](reg::IndexOptions& options) { holdUntilCancelled(options, reached); });
    window->indexButton->click();
    const QDeadlineTimer deadline(60000);
    while (!reached && !deadline.hasExpired()) QCoreApplication::processEvents();
    ASSERT_TRUE(reached);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isIndexing());
    EXPECT_EQ(fakes.settings.get("Register", "Folder1"), m_folder);
    window.reset();
    QCoreApplication::processEvents();  // the run's last message finds no window
}

TEST_F(RegisterWindowTest, ARegisterThatCannotBeOpenedSaysWhyInRed) {
    const QString text = m_dir.filePath("notes.sqlite");
    QFile notes(text);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write(QByteArray(4096, 'x'));
    notes.close();
    struct Case {
        QString file;
        QString says;
    } const cases[] = {
        {text, "The register " + text + " cannot be opened"},
        {"", "Choose the register file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        fakes.settings.set("Register", "File", c.file);
        open();
        EXPECT_TRUE(window->statusLabel->text().startsWith(c.says))
            << window->statusLabel->text().toStdString();
        EXPECT_TRUE(statusIsRed());
        if (!c.file.isEmpty()) {
            window->indexButton->click();
            waitForTheRun();
            EXPECT_TRUE(window->statusLabel->text().startsWith(c.says));
            EXPECT_TRUE(statusIsRed());
            EXPECT_TRUE(window->indexButton->isEnabled());
        }
    }
    if (reg::serverRegistersAvailable()) {
        fakes.settings.set("Register", "Kind", "Server");
        fakes.settings.set("Register", "Server",
                           "host=" + m_dir.filePath("nowhere") + " dbname=x password=secret");
        open();
        EXPECT_TRUE(window->serverOption->isChecked());
        EXPECT_TRUE(window->statusLabel->text().startsWith("The register host="))
            << window->statusLabel->text().toStdString();
        EXPECT_FALSE(window->statusLabel->text().contains("secret"));
        EXPECT_TRUE(statusIsRed());
    }
}

TEST_F(RegisterWindowTest, TheRegisterAndItsFoldersAreRemembered) {
    fakes.settings.remove("Register");
    const QString chosen = m_dir.filePath("team.sqlite");
    const QString second = m_dir.filePath("second");
    open();
    fakes.dialogs.answerSaveFile(chosen);
    window->browseButton->click();
    EXPECT_EQ(window->fileEdit->text(), chosen);
    for (const QString& folder : {m_folder, second, m_folder}) {
        fakes.dialogs.answerFolder(folder);
        window->addFolderButton->click();
    }
    window->folderList->setCurrentItem(window->folderList->topLevelItem(0));
    window->removeFolderButton->click();
    window->close();
    EXPECT_EQ(fakes.settings.get("Register", "Kind"), "File");
    EXPECT_EQ(fakes.settings.get("Register", "File"), chosen);
    EXPECT_EQ(fakes.settings.get("Register", "Folder1"), second);
    EXPECT_EQ(fakes.settings.get("Register", "Folder2", "<absent>"), "<absent>");

    open();
    EXPECT_EQ(window->fileEdit->text(), chosen);
    EXPECT_TRUE(window->fileOption->isChecked());
    EXPECT_EQ(rows(), QStringList{second + "\t\t\t"});
}

TEST(RegisterButton, OpensTheRegisterWindowModal) {
    QTemporaryDir scratch;
    fake::FakePlatform fakes;
    fakes.settings.set("Register", "File", scratch.filePath("register.sqlite"));
    MainWindow window(MainWindowServices(fakes.platform()), scratch.path(), QString());
    const MainWindowControls ui = controlsOf(window);
    window.load();
    ASSERT_NE(ui.registerButton, nullptr);
    EXPECT_EQ(ui.registerButton->text(), "Register");
    ui.registerButton->click();
    auto* shown = qobject_cast<RegisterWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowModality(), Qt::ApplicationModal);
    shown->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.findChild<RegisterWindow*>(), nullptr);
}

}  // namespace
