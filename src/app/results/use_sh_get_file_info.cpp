#include "app/results/use_sh_get_file_info.h"

#include <QMimeType>

namespace krelix {

QIcon CUseShGetFileInfo::IconForName(const QString& fileName) const {
    const QMimeType type = mimeDatabase_.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    const QString typeName = type.name();
    const auto cached = iconByMimeType_.constFind(typeName);
    if (cached != iconByMimeType_.constEnd()) {
        return *cached;
    }
    // Themes rarely carry an icon for every type; the generic family icon ("image-x-generic")
    // and then the plain document icon stand in.
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) {
        icon = QIcon::fromTheme(type.genericIconName());
    }
    if (icon.isNull()) {
        icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    }
    iconByMimeType_.insert(typeName, icon);
    return icon;
}

}  // namespace krelix
