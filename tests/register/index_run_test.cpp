// SPDX-License-Identifier: GPL-3.0-or-later
// The register on real drawings: what it stores is what the reader reads, and a second run
// reads only what changed.

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "register/drawing_walk.h"
#include "register_fixture.h"
#include "support/named_pipe.h"
#include "support/qt_printers.h"

namespace {

QString number(double value) {
    return QString::asprintf("%.17g", value);
}

// What the reader gives for one drawing, as the rows the register should hold for it.
QStringList readerRows(const drawing::Drawing& content) {
    QStringList expected;
    for (const std::uint32_t index : content.enumeration) {
        const drawing::InsertRecord& insert = content.inserts[index];
        const QString reference =
            QStringList{insert.handle.toQString(),
                        insert.paperSpace ? "PAPER" : "MODEL",
                        insert.layout,
                        insert.name,
                        insert.effectiveName.isEmpty() ? insert.name : insert.effectiveName,
                        insert.layer,
                        number(insert.insertion.x),
                        number(insert.insertion.y),
                        number(insert.insertion.z)}
                .join('\t');
        if (insert.attributeCount == 0) expected << reference + "\t\t\t";
        for (std::uint32_t i = 0; i < insert.attributeCount; ++i) {
            const drawing::AttributeRecord& a = content.attributes[insert.firstAttribute + i];
            expected << reference + '\t' + a.tag + '\t' + a.text + '\t' + a.handle.toQString();
        }
    }
    return expected;
}

TEST_F(RegisterTest, FirstRunStoresEveryReferenceAndAttributeTheReaderReads) {
    const reg::IndexSummary summary = index(4);
    const QStringList drawings = reg::listDrawings({m_folder});
    ASSERT_EQ(drawings.size(), 31);
    EXPECT_EQ(summary.found, 31);
    EXPECT_EQ(summary.read + summary.failures.size(), 31);
    EXPECT_EQ(m_reads, 31);
    qsizetype attributes = 0;
    for (const QString& drawing : drawings) {
        SCOPED_TRACE(drawing.toStdString());
        const auto read = drawing::readDrawingFile(drawing);
        const qint64 id = idOf(drawing);
        ASSERT_GT(id, 0);
        QStringList stored;
        reg::Statement query = connect()->prepare(
            QString("SELECT r.handle, r.space, r.layout, r.block_name, r.effective_name, "
                    "r.layer, r.x, r.y, r.z, a.tag, a.value, a.handle FROM block_references r"
                    " LEFT JOIN attributes a ON a.reference_id = r.id WHERE r.drawing_id = %1"
                    " ORDER BY r.id, a.id")
                .arg(id));
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < 12; ++i)
                row << (i >= 6 && i <= 8 ? number(query.real(i)) : query.text(i));
            stored << row.join('\t');
        }
        if (!read) {
            EXPECT_EQ(value(QString("SELECT read_error FROM drawings WHERE id = %1").arg(id)),
                      read.error().description);
            EXPECT_TRUE(stored.isEmpty());
            continue;
        }
        EXPECT_EQ(stored, readerRows(*read.value()));
        EXPECT_EQ(value(QString("SELECT release FROM drawings WHERE id = %1").arg(id)),
                  read.value()->release);
        attributes += static_cast<qsizetype>(read.value()->attributes.size());
    }
    EXPECT_GT(attributes, 50);
    EXPECT_EQ(value("SELECT count(*) FROM attributes").toLongLong(), attributes);
    expectValueIndexAgrees();
}

// Each change to the folder between two runs, and what the second run must do about it.
TEST_F(RegisterTest, SecondRunReadsOnlyWhatChanged) {
    const QString drawing = path("examples/tank-farm.dxf");
    const QString moved = path("data/Tänk Färm, moved.DXF");  // letter case and UTF-8 kept
    struct Case {
        const char* name;
        std::function<void()> change;
        int reads;
        qsizetype touched, moved, missing;
    };
    const auto later = QDateTime::currentDateTime().addSecs(3600);
    const std::vector<Case> cases = {
        {"nothing", [] {}, 0, 0, 0, 0},
        {"touched, same content",
         [&] {
             QFile file(drawing);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_TRUE(file.setFileTime(later, QFileDevice::FileModificationTime));
         },
         0, 1, 0, 0},
        {"content changed",
         [&] {
             QFile file(drawing);
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write("\n");  // past EOF: read as before, but another content
         },
         1, 0, 0, 0},
        {"moved", [&] { ASSERT_TRUE(QFile::rename(drawing, moved)); }, 0, 0, 1, 0},
        {"deleted", [&] { ASSERT_TRUE(QFile::remove(moved)); }, 0, 0, 0, 1},
    };
    index();
    const qint64 id = idOf(drawing);
    for (const Case& step : cases) {
        SCOPED_TRACE(step.name);
        step.change();
        const reg::IndexSummary summary = index();
        EXPECT_EQ(m_reads, step.reads);
        EXPECT_EQ(summary.touched, step.touched);
        EXPECT_EQ(summary.moved, step.moved);
        EXPECT_EQ(summary.missing, step.missing);
        EXPECT_TRUE(summary.failures.isEmpty());
    }
    // The drawing kept its id through the move, and its references while missing.
    EXPECT_EQ(idOf(moved), id);
    EXPECT_EQ(value(QString("SELECT missing FROM drawings WHERE id = %1").arg(id)), "1");
    EXPECT_NE(value(QString("SELECT count(*) FROM block_references WHERE drawing_id = %1").arg(id)),
              "0");
    // Back at its last path with its first content: the same drawing, read again.
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_EXAMPLES_DIR "/tank-farm.dxf"), moved));
    index();
    EXPECT_EQ(m_reads, 1);
    EXPECT_EQ(idOf(moved), id);
    EXPECT_EQ(value(QString("SELECT missing FROM drawings WHERE id = %1").arg(id)), "0");
    ASSERT_TRUE(QFile::remove(moved));
    const reg::IndexSummary forgetting = index(1, true);
    EXPECT_EQ(forgetting.forgotten, 1);
    EXPECT_EQ(value(QString("SELECT count(*) FROM drawings WHERE id = %1").arg(id)), "0");
    EXPECT_EQ(value(QString("SELECT count(*) FROM block_references WHERE drawing_id = %1").arg(id)),
              "0");
    expectValueIndexAgrees();
}

TEST_F(RegisterTest, DrawingReplacedByABrokenFileKeepsTheReasonAndLosesItsRows) {
    index();
    const QString drawing = path("examples/boiler-feed.dxf");
    const qint64 id = idOf(drawing);
    const QString before = value("SELECT count(*) FROM attributes");
    {
        QFile file(drawing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("  0\nSECTION\n  2\nENTITIES\n  0\nINSERT\n  8\n");  // cut short
    }
    const reg::IndexSummary summary = index();
    ASSERT_EQ(summary.failures.size(), 1);
    EXPECT_TRUE(summary.failures[0].startsWith(drawing + ": "));
    EXPECT_EQ(idOf(drawing), id);
    EXPECT_FALSE(value(QString("SELECT read_error FROM drawings WHERE id = %1").arg(id)).isEmpty());
    EXPECT_EQ(value(QString("SELECT count(*) FROM block_references WHERE drawing_id = %1").arg(id)),
              "0");
    EXPECT_LT(value("SELECT count(*) FROM attributes").toInt(), before.toInt());
    EXPECT_GT(value("SELECT count(*) FROM attributes").toInt(), 0);
}

// A file the reader refused is refused again until it changes; one that could not be opened
// (a lock, a permission: here a named pipe) may open next time, so it is tried every run.
TEST_F(RegisterTest, RefusedDrawingWaitsForAChangeButOneNotOpenedIsTriedAgain) {
    const NamedPipe pipe(path("examples/pipe.dxf"));
    ASSERT_TRUE(pipe.isValid());
    writeFile(path("examples/broken.dxf"), "not a drawing");
    EXPECT_EQ(index().failures.size(), 2);
    EXPECT_EQ(m_reads, 32);  // the pipe is never read
    const reg::IndexSummary again = index();
    EXPECT_EQ(again.failures, QStringList(path("examples/pipe.dxf") + ": " +
                                          value("SELECT read_error FROM drawings WHERE path = '" +
                                                path("examples/pipe.dxf") + "'")));
    EXPECT_EQ(m_reads, 0);
}

TEST_F(RegisterTest, LinkCycleIsWalkedOnce) {
    ASSERT_TRUE(QFile::link(m_folder, path("examples/loop")));
    ASSERT_TRUE(QFile::link(path("examples"), path("data/examples-again")));
    const reg::IndexSummary summary = index();
    EXPECT_EQ(summary.found, 31);
    EXPECT_EQ(value("SELECT count(*) FROM drawings"), "31");
}

TEST_F(RegisterTest, FileGoneBetweenListingAndReadingIsNotAnError) {
    index();
    const QString known = path("examples/cooling-water.dxf");
    const QString added = path("examples/new.dxf");
    ASSERT_TRUE(QFile::copy(path("examples/tank-farm.dxf"), added));
    QFile::remove(known);
    ASSERT_TRUE(QFile::copy(path("examples/tank-farm.dxf"), known));  // changed: read again
    m_reaching = [&](const QString& drawing) {
        if (drawing == known || drawing == added) QFile::remove(drawing);
    };
    const reg::IndexSummary summary = index();
    EXPECT_EQ(summary.vanished, 2);
    EXPECT_TRUE(summary.failures.isEmpty());
    EXPECT_EQ(value(QString("SELECT missing FROM drawings WHERE path = '%1'").arg(known)), "1");
    EXPECT_EQ(value(QString("SELECT count(*) FROM drawings WHERE path = '%1'").arg(added)), "0");
}

// A cancelled run keeps what it read and marks nothing missing: it did not look everywhere.
TEST_F(RegisterTest, CancelledRunKeepsWhatItReadAndTheNextOneFinishes) {
    index();
    ASSERT_TRUE(QFile::remove(path("examples/tank-farm.dxf")));
    for (const char* name : {"a.dxf", "b.dxf", "c.dxf", "d.dxf"})
        ASSERT_TRUE(QFile::copy(path("examples/boiler-feed.dxf"), path(QString("data/") + name)));
    m_reaching = [this](const QString&) {
        if (m_reads == 1) m_cancel = true;
    };
    const reg::IndexSummary cancelled = index(1);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.read, 2);
    EXPECT_EQ(cancelled.missing, 0);
    EXPECT_EQ(value("SELECT count(*) FROM drawings"), "33");
    m_cancel = false;
    const reg::IndexSummary finished = index(1);
    EXPECT_FALSE(finished.cancelled);
    EXPECT_EQ(finished.read, 2);
    EXPECT_EQ(finished.missing, 1);
}

TEST_F(RegisterTest, OneJobAndFourJobsStoreTheSameRegister) {
    index(1);
    const QStringList oneJob = content();
    ASSERT_TRUE(QFile::rename(m_database, m_dir.filePath("one.sqlite")));
    QFile::remove(m_database + "-wal");
    QFile::remove(m_database + "-shm");
    index(4);
    EXPECT_GT(oneJob.size(), 100);
    EXPECT_EQ(content(), oneJob);
}

}  // namespace
