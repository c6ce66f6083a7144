#include "operations/text/csv_export.h"

#include <ctime>

#include "common/text_conversion.h"
#include "operations/text/text_file.h"

namespace krelix {
namespace {

bool NeedsQuotes(std::u16string_view field) {
    return field.find_first_of(u",\"\r\n") != std::u16string_view::npos;
}

void AppendQuoted(std::u16string& line, std::u16string_view field) {
    line += u'"';
    for (const char16_t c : field) {
        if (c == u'"') {
            line += u'"';
        }
        line += c;
    }
    line += u'"';
}

void AppendField(std::u16string& line, std::u16string_view field) {
    if (NeedsQuotes(field)) {
        AppendQuoted(line, field);
    } else {
        line += field;
    }
}

}  // namespace

std::u16string DefaultTimeText(std::int64_t seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return {};
    }
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%c", &local);
    return WideFromUtf8(std::string_view(text, length));
}

std::u16string CsvLine(const CFileItem& item, const TimeTextFn& timeText) {
    std::u16string line;
    AppendField(line, WideFromUtf8(item.groupKey));
    line += u',';
    AppendField(line, WideFromUtf8(item.name()));
    line += u',';
    AppendQuoted(line, WideFromUtf8(item.path));
    line += u',';
    AppendQuoted(line, timeText(item.modified));
    return line;
}

CsvExportStatus ExportCsv(const std::string& path, std::span<const CFileItem* const> rows,
                          const TimeTextFn& timeText) {
    TextFile file;
    if (file.OpenForWriting(path) != kTextOk) {
        return CsvExportStatus::CreateFailed;
    }
    // Line ends are written here, so that a line feed inside a quoted name stays as it is.
    file.SetFlags(file.flags() | TextFile::kWriteUnchanged);
    CsvExportStatus status = CsvExportStatus::Written;
    for (const CFileItem* item : rows) {
        if (item == nullptr || item->deleted != 0) {
            continue;
        }
        if (file.Write(CsvLine(*item, timeText) + u"\r\n") != kTextOk) {
            status = CsvExportStatus::WriteFailed;
            break;
        }
    }
    // Most of a small export is still in the buffer here, so a failing close is a failed
    // export too.
    if (file.Close() != kTextOk) {
        status = CsvExportStatus::WriteFailed;
    }
    return status;
}

}  // namespace krelix
