#include "operations/ui/desktop/file_properties_dlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "operations/ui/desktop/shell_paths.h"

namespace krelix {
namespace {

QString TimeText(std::int64_t seconds) {
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(seconds), QLocale::LongFormat);
}

}  // namespace

QString PropertiesSizeText(std::uint64_t size) {
    const QString bytes = QStringLiteral("%1 bytes").arg(size);
    if (size < 1024) {
        return bytes;
    }
    return bytes + QStringLiteral(" (%1)").arg(QLocale().formattedDataSize(
                       static_cast<qint64>(size), 1, QLocale::DataSizeTraditionalFormat));
}

FilePropertiesDlg::FilePropertiesDlg(const FileProperties& properties, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("File Properties"));
    rows_ = {
        {QStringLiteral("Name:"), DisplayPath(properties.name)},
        {QStringLiteral("Folder:"), DisplayPath(properties.folder)},
        {QStringLiteral("Kind:"), QString::fromStdString(properties.kind)},
        {QStringLiteral("Size:"), PropertiesSizeText(properties.size)},
    };
    if (properties.created) {
        rows_.append({QStringLiteral("Created:"), TimeText(*properties.created)});
    }
    rows_.append({QStringLiteral("Modified:"), TimeText(properties.modified)});
    rows_.append({QStringLiteral("Accessed:"), TimeText(properties.accessed)});
    rows_.append({QStringLiteral("Changed:"), TimeText(properties.changed)});
    rows_.append({QStringLiteral("Permissions:"),
                  QStringLiteral("%1 (%2)")
                      .arg(QString::fromStdString(PermissionText(properties.mode)))
                      .arg(properties.mode, 4, 8, QLatin1Char('0'))});
    rows_.append({QStringLiteral("Owner:"), QString::fromStdString(properties.owner) +
                                                QStringLiteral(", group ") +
                                                QString::fromStdString(properties.group)});

    auto* form = new QFormLayout;
    for (const auto& [label, value] : rows_) {
        auto* shown = new QLabel(value, this);
        shown->setTextFormat(Qt::PlainText);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        shown->setWordWrap(true);
        form->addRow(label, shown);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

}  // namespace krelix
