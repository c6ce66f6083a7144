#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

namespace krelix {

// Icons for file names, as the results list shows them: the MIME type is found from the name
// alone (nothing is opened or read), and its theme icon is looked up once per type.
class CUseShGetFileInfo {
  public:
    QIcon IconForName(const QString& fileName) const;

  private:
    QMimeDatabase mimeDatabase_;
    mutable QHash<QString, QIcon> iconByMimeType_;
};

}  // namespace krelix
