#include "app/results/result_cells.h"

#include "app/results/results_model.h"
#include "common/ui/file_name_text.h"
#include "common/ui/locale_time_text.h"
#include "operations/links/link_replacement.h"

namespace krelix {

QString CellText(const CFileItem& record, int column) {
    switch (column) {
        case 0:
            return QString::fromLatin1(record.groupKey);
        case 1:
            return DecodeFileName(record.name());
        case 2:
            return DecodeFileName(record.path);
        case 3:
            return QString::number(record.size);
        case 4:
            return LocaleTimeText(record.modified);
        default:
            return {};
    }
}

QString ColumnTitle(int column) {
    switch (column) {
        case 0:
            return QStringLiteral("Dup. Group");
        case 1:
            return QStringLiteral("File Name");
        case 2:
            return QStringLiteral("Path");
        case 3:
            return QStringLiteral("Size");
        case 4:
            return QStringLiteral("Modified Time");
        default:
            return {};
    }
}

QString LinkNote(std::uint8_t linked) {
    if (linked == 0) {
        return {};
    }
    return linked == 1 + int(LinkKind::HardLink)
               ? QStringLiteral("\nReplaced by a hard link to the file kept in its group.")
               : QStringLiteral("\nReplaced by a clone of the file kept in its group.");
}

QVariant MarkData(const RowMarks& marks, const MarkStyle& style, int role) {
    switch (role) {
        case Qt::ForegroundRole:
            if (style.colours) {
                return marks.linked != 0 ? ResultsModel::kLinkedText
                       : marks.shaded    ? ResultsModel::kShadedText
                                         : ResultsModel::kPlainText;
            }
            return {};
        case Qt::BackgroundRole:
            if (style.colours) {
                return marks.shaded ? ResultsModel::kShadedBackground
                                    : ResultsModel::kPlainBackground;
            }
            return {};
        case Qt::FontRole:
            if (style.fonts && (marks.struck || marks.linked != 0)) {
                QFont font = *style.struckFont;
                if (marks.linked != 0) {
                    font.setStrikeOut(marks.struck);
                    font.setItalic(true);
                }
                return font;
            }
            return {};
        default:
            return {};
    }
}

}  // namespace krelix
