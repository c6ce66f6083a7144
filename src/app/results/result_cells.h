#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariant>
#include <cstdint>

#include "engine/file_item.h"

namespace krelix {

// What the results list shows of a record in a column (the columns of ResultsModel): the group
// key, the name and path as the file system's names decode, the size in bytes, the modified time
// in the locale's long form.
QString CellText(const CFileItem& record, int column);
// The column's header: "Dup. Group", "File Name", "Path", "Size", "Modified Time".
QString ColumnTitle(int column);
// The line a replaced row's tooltip adds (linked: 0, or 1 + LinkKind); empty for others.
QString LinkNote(std::uint8_t linked);

// A row's marks, and how the user wants marks shown.
struct RowMarks {
    bool shaded = false;
    bool struck = false;
    std::uint8_t linked = 0;  // 0, or 1 + LinkKind
};
struct MarkStyle {
    bool colours = false;
    bool fonts = false;
    const QFont* struckFont = nullptr;
};
// The foreground, background and font roles of a row with these marks; nothing for other roles
// or where the style shows none.
QVariant MarkData(const RowMarks& marks, const MarkStyle& style, int role);

}  // namespace krelix
