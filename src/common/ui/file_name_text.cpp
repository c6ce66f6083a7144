#include "common/ui/file_name_text.h"

#include <QByteArray>
#include <QFile>

namespace krelix {

QString DecodeFileName(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string EncodeFileName(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

}  // namespace krelix
