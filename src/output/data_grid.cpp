// The header row and the data grid every destination of the send command shares.

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "engine/module1.h"
#include "mainwindow/form1.h"
#include "output/csv_line.h"
#include "records/record_list_model.h"

namespace {

const QString kSeparator = QStringLiteral("','");

}  // namespace

QString Form1::BuildHeaderLine(bool csv) const {
    // The header row came with the records, from the run that extracted them.
    QString line = records->header();
    if (csv) line = csvLine(line);
    const QString quote = csv ? QStringLiteral("\"") : QStringLiteral("'");
    QString labels;
    if (Check1->checkState() == Qt::Checked) labels += quote + "DRAWING_NAME" + quote + ",";
    if (Check6->checkState() == Qt::Checked) labels += quote + "TIMESTAMP" + quote + ",";
    line = labels + line;
    if (!Option1->isChecked()) {
        line =
            Module1::CdfToSdf(line, static_cast<quint8>(std::clamp(Text4->text().toInt(), 0, 255)));
    }
    return line;
}

void Form1::FillGridRow(DataGrid& grid, int row, const QString& line) {
    auto store = [&grid, row](QString field, int column) {
        if (field.startsWith(QLatin1String(",'"))) field.remove(0, 2);
        if (row >= 0 && row < static_cast<int>(grid.size()) && column >= 0 &&
            column < static_cast<int>(grid[row].size())) {
            grid[row][column] = field;
        }
    };
    QString field;
    int column = 0;
    // The outer quotes are never copied; the two characters after a separator start the next
    // field and are dropped when it is stored.
    for (qsizetype i = 1; i < line.size() - 1; ++i) {
        if (QStringView(line).mid(i, 3) == kSeparator) {
            store(field, column++);
            field.clear();
        } else {
            field += line[i];
        }
    }
    store(field, column);
}

Form1::DataGrid Form1::BuildDataGrid(bool withHeader) const {
    const std::vector<qint64> selected = selectedRecordRows();
    const int rows = static_cast<int>(selected.size()) + (withHeader ? 1 : 0) + 1;
    const int columns = static_cast<int>(std::max<qint64>(records->maxFields(), 0));
    DataGrid grid(rows, std::vector<QString>(columns));
    int row = 0;
    if (withHeader) FillGridRow(grid, row++, BuildHeaderLine(false));
    for (qint64 selectedRow : selected) FillGridRow(grid, row++, records->record(selectedRow));
    return grid;
}
