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

CSettingsDlg::CSettingsDlg(std::uint32_t flags, QWidget* parent) : QDialog(parent), flags_(flags) {
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
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(restoreDefaults_, &QPushButton::clicked, this, &CSettingsDlg::RestoreDefaults);
    connect(ok_, &QPushButton::clicked, this, &CSettingsDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CSettingsDlg::reject);
}

std::optional<std::uint32_t> CSettingsDlg::Run(QWidget* parent, std::uint32_t flags) {
    CSettingsDlg dialog(flags, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.flags();
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
    flags_ = FlagsFromChecks(checked);
    QDialog::accept();
}

void CSettingsDlg::RestoreDefaults() {
    const auto options = SearchOptions();
    for (std::size_t i = 0; i < options.size(); ++i) {
        boxes_[i]->setChecked((DEFAULT_SEARCH_FLAGS & options[i].flag) != 0);
    }
}

}  // namespace krelix
