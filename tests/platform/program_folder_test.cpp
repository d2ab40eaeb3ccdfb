// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "platform/scratch_folder.h"

namespace {

// How the programs sit on disk decides where the program's own files (extract.txt, err.log,
// the FAQ copy) go: beside the executables, or the user's data folder.
TEST(ProgramFolder, PicksTheFolderThatHoldsTheProgramsFiles) {
    struct Layout {
        const char* name;
        bool faqBesideExecutable;  // the build tree puts faq.fil beside the programs
        bool sharedFaq;            // an installed copy has ../share/quillon/faq.fil
        bool expectUserFolder;
    };
    const Layout layouts[] = {
        {"build tree", true, false, false},
        {"portable without FAQ", false, false, false},
        // Installed under a prefix the user owns (~/.local): bin/ takes files, but extract.txt
        // and err.log do not belong among the programs.
        {"installed in a writable prefix", false, true, true},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        ScratchFolder root;
        const QString bin = root.makeFolder("prefix/bin");
        if (layout.faqBesideExecutable) root.writeFile("prefix/bin/faq.fil", "build tree faq");
        if (layout.sharedFaq) root.writeFile("prefix/share/quillon/faq.fil", "installed faq");
        const QString user = root.path("home/.local/share/Quillon");

        const QString chosen = platform::programFolderFor(bin, user);

        if (layout.expectUserFolder) {
            EXPECT_EQ(chosen, user);
            EXPECT_EQ(ScratchFolder::readFile(user + "/faq.fil"), "installed faq")
                << "the FAQ is copied into the user folder, made when missing";
        } else {
            EXPECT_EQ(chosen, bin);
            EXPECT_FALSE(QFileInfo::exists(user)) << "a portable copy leaves the home folder alone";
        }
    }
}

TEST(ProgramFolder, UpgradedFaqReplacesTheOlderCopyButAnUnchangedOneIsKept) {
    ScratchFolder root;
    const QString bin = root.makeFolder("usr/bin");
    const QString shipped = root.writeFile("usr/share/quillon/faq.fil", "new faq");
    const QString user = root.makeFolder("home/Quillon");
    const QString copy = root.writeFile("home/Quillon/faq.fil", "old faq");
    {
        QFile old(copy);
        ASSERT_TRUE(old.open(QIODevice::ReadWrite));
        old.setFileTime(QDateTime::currentDateTime().addDays(-30),
                        QFileDevice::FileModificationTime);
    }

    platform::programFolderFor(bin, user);
    EXPECT_EQ(ScratchFolder::readFile(copy), "new faq");

    // A copy as new as the shipped file is the user's to keep (opened, maybe annotated).
    root.writeFile("home/Quillon/faq.fil", "annotated faq");
    {
        QFile shippedFile(shipped);
        ASSERT_TRUE(shippedFile.open(QIODevice::ReadWrite));
        shippedFile.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                QFileDevice::FileModificationTime);
    }
    platform::programFolderFor(bin, user);
    EXPECT_EQ(ScratchFolder::readFile(copy), "annotated faq");
}

TEST(ProgramFolder, ReadOnlyExecutableFolderSendsFilesToTheUserFolder) {
    ScratchFolder root;
    const QString bin = root.makeFolder("opt/quillon");
    root.writeFile("opt/quillon/faq.fil", "portable faq");
    QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool stillWritable = QFile(root.path("opt/quillon/probe")).open(QIODevice::WriteOnly);
    if (stillWritable) {
        QFile::remove(root.path("opt/quillon/probe"));
        QFile::setPermissions(
            bin, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        GTEST_SKIP() << "permissions do not bind this user (root); the package test covers it";
    }
    const QString user = root.path("home/Quillon");

    const QString chosen = platform::programFolderFor(bin, user);

    QFile::setPermissions(bin,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(chosen, user);
    EXPECT_EQ(ScratchFolder::readFile(root.path("home/Quillon/faq.fil")), "portable faq");
}

TEST(ProgramFolder, ShippedFaqIsBesideTheProgramsElseInTheSharedFolder) {
    ScratchFolder root;
    const QString bin = root.makeFolder("usr/bin");
    EXPECT_EQ(platform::shippedFaqFile(bin), QString());
    root.writeFile("usr/share/quillon/faq.fil");
    EXPECT_EQ(QFileInfo(platform::shippedFaqFile(bin)).canonicalFilePath(),
              QFileInfo(root.path("usr/share/quillon/faq.fil")).canonicalFilePath());
    root.writeFile("usr/bin/faq.fil");
    EXPECT_EQ(QFileInfo(platform::shippedFaqFile(bin)).canonicalFilePath(),
              QFileInfo(root.path("usr/bin/faq.fil")).canonicalFilePath());
}

}  // namespace
