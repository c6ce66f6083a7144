#include "settings/ui/settings_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "engine/search_flags.h"
#include "settings/ui/search_option.h"

namespace krelix {

CSettingsDlg::CSettingsDlg(std::uint32_t flags, QWidget* parent)
    : CSettingsDlg(SearchSettings{flags, true}, nullptr, parent) {}

CSettingsDlg::CSettingsDlg(SearchSettings settings, std::function<void()> clearHashCache,
                           QWidget* parent)
    : QDialog(parent), settings_(settings) {
    const std::uint32_t flags = settings.flags;
    setWindowTitle(QStringLiteral("Search Settings"));
    setObjectName(QStringLiteral("searchSettings"));

    auto* group = new QGroupBox(QStringLiteral("Settings"), this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(24);
    int rowInColumn[2] = {0, 0};
    for (const SearchOption& option : SearchOptions()) {
        auto* box = new QCheckBox(QString::fromUtf8(option.text), group);
        box->setObjectName(QStringLiteral("option%1").arg(option.flag, 4, 16, QLatin1Char('0')));
        box->setToolTip(QString::fromUtf8(option.tip));
        box->setChecked((flags & option.flag) != 0);
        grid->addWidget(box, rowInColumn[option.column]++, option.column);
        boxes_.push_back(box);
    }

    auto* cacheGroup = new QGroupBox(QStringLiteral("Hash Cache"), this);
    auto* cacheRow = new QHBoxLayout(cacheGroup);
    rememberHashes_ =
        new QCheckBox(QStringLiteral("Remember file hashes between searches"), cacheGroup);
    rememberHashes_->setObjectName(QStringLiteral("rememberHashes"));
    rememberHashes_->setToolTip(
        QStringLiteral("A file unchanged since an earlier search (same size, times and inode) "
                       "is not read again."));
    rememberHashes_->setChecked(settings.rememberHashes);
    clearHashCache_ = new QPushButton(QStringLiteral("Clear Hash Cache"), cacheGroup);
    clearHashCache_->setObjectName(QStringLiteral("clearHashCache"));
    clearHashCache_->setAutoDefault(false);
    clearHashCache_->setEnabled(static_cast<bool>(clearHashCache));
    cacheRow->addWidget(rememberHashes_);
    cacheRow->addStretch(1);
    cacheRow->addWidget(clearHashCache_);
    if (clearHashCache) {
        connect(clearHashCache_, &QPushButton::clicked, this, std::move(clearHashCache));
    }

    restoreDefaults_ = new QPushButton(QStringLiteral("Restore Defaults"), this);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    ok_->setDefault(true);
    restoreDefaults_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(restoreDefaults_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(cacheGroup);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(restoreDefaults_, &QPushButton::clicked, this, &CSettingsDlg::RestoreDefaults);
    connect(ok_, &QPushButton::clicked, this, &CSettingsDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CSettingsDlg::reject);
}

std::optional<SearchSettings> CSettingsDlg::Run(QWidget* parent, SearchSettings settings,
                                                std::function<void()> clearHashCache) {
    CSettingsDlg dialog(settings, std::move(clearHashCache), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.settings();
}

QCheckBox* CSettingsDlg::box(std::uint32_t flag) const {
    const auto options = SearchOptions();
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i].flag == flag) {
            return boxes_[i];
        }
    }
    return nullptr;
}

void CSettingsDlg::accept() {
    std::array<bool, kSearchOptionCount> checked{};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        checked[i] = boxes_[i]->isChecked();
    }
    settings_.flags = FlagsFromChecks(checked);
    settings_.rememberHashes = rememberHashes_->isChecked();
    QDialog::accept();
}

void CSettingsDlg::RestoreDefaults() {
    const auto options = SearchOptions();
    for (std::size_t i = 0; i < options.size(); ++i) {
        boxes_[i]->setChecked((DEFAULT_SEARCH_FLAGS & options[i].flag) != 0);
    }
    rememberHashes_->setChecked(true);
}

}  // namespace krelix
