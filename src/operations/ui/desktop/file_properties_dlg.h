#pragma once

#include <QDialog>
#include <cstdint>

#include "operations/files/file_properties.h"

namespace krelix {

// The program's own properties window for one file, used when no file manager offers one.
class FilePropertiesDlg final : public QDialog {
    Q_OBJECT

  public:
    explicit FilePropertiesDlg(const FileProperties& properties, QWidget* parent = nullptr);

    // The shown rows as label and value, in order; for tests.
    QList<QPair<QString, QString>> Rows() const { return rows_; }

  private:
    QList<QPair<QString, QString>> rows_;
};

// "1234567 bytes (1.2 MB)"; a size under 1 KiB has no part in brackets.
QString PropertiesSizeText(std::uint64_t size);

}  // namespace krelix
