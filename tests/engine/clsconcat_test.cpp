#include "engine/clsconcat.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

TEST(clsConcat, NewBuilderGivesEmptyText) {
    clsConcat builder;
    EXPECT_TRUE(builder.GetString().isEmpty());
}

TEST(clsConcat, PiecesAcrossGrowthStepsComeBackInOrder) {
    clsConcat builder;
    QString expected;
    for (int i = 0; i < 5000; ++i) {
        const QString piece = QString::number(i) + QLatin1Char(';');
        builder.SConcat(piece);
        expected += piece;
    }
    EXPECT_GT(builder.capacity(), clsConcat::kGrowthStep);
    EXPECT_EQ(builder.GetString(), expected);
    EXPECT_TRUE(builder.GetString().isEmpty()) << "GetString empties the builder";
}

TEST(clsConcat, LongPieceAfterLongTextComesBackWhole) {
    clsConcat builder;
    const QString first(30000, QLatin1Char('a'));
    const QString second(20000, QLatin1Char('b'));
    builder.SConcat(first);
    builder.SConcat(second);
    builder.SConcat(QString());
    const QString text = builder.GetString();
    ASSERT_EQ(text.size(), 50000);
    EXPECT_EQ(text, first + second);
}

TEST(clsConcat, ReInitStartsOver) {
    clsConcat builder;
    builder.SConcat("abc");
    builder.ReInit();
    builder.SConcat("xy");
    EXPECT_EQ(builder.GetString(), "xy");
}

}  // namespace
