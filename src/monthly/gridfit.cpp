#include "gridfit.h"

#include "dbgrid.h"

#include <QHeaderView>

void fitColumnsToContent(controls::DbGrid& grid, int sampledRows)
{
    const QFontMetrics body(grid.font());
    const QFontMetrics title(grid.horizontalHeader()->font());
    const QAbstractItemModel* model = grid.model();
    const auto& columns = grid.datasetModel()->columns();
    const int rows = qMin(model->rowCount(), sampledRows);
    constexpr int padding = 12;
    for (int c = 0; c < columns.size(); ++c) {
        int width = columns.at(c).widthChars * body.horizontalAdvance(QLatin1Char('0'));
        for (const QString& line : columns.at(c).title.split(QLatin1Char('\n')))
            width = qMax(width, title.horizontalAdvance(line));
        for (int r = 0; r < rows; ++r)
            width = qMax(width, body.horizontalAdvance(model->index(r, c).data().toString()));
        grid.setColumnWidth(c, qMax(grid.columnWidth(c), width + padding));
    }
}
