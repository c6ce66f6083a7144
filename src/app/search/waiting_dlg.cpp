#include "app/search/waiting_dlg.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/progress_sink.h"

namespace krelix {
namespace {

constexpr int kBarSteps = 1000;

}  // namespace

CWaitingDlg::CWaitingDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("waitingDlg"));
    setWindowTitle(QStringLiteral("Tessmark Duplicate Finder"));
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("status"));
    statusLabel_->setTextFormat(Qt::PlainText);
    statusLabel_->setMinimumWidth(520);
    statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progress"));
    countLabel_ = new QLabel(this);
    countLabel_->setObjectName(QStringLiteral("count"));
    countLabel_->setMinimumWidth(
        countLabel_->fontMetrics().horizontalAdvance(QStringLiteral("999,999,999 files found")));
    countLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    connect(cancel_, &QPushButton::clicked, this, &CWaitingDlg::cancelRequested);

    auto* barRow = new QHBoxLayout;
    barRow->setSpacing(10);
    barRow->addWidget(bar_, 1);
    barRow->addWidget(countLabel_);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(cancel_);
    buttonRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 10);
    layout->addWidget(statusLabel_);
    layout->addLayout(barRow);
    layout->addLayout(buttonRow);
    Clear();
}

void CWaitingDlg::Clear() {
    SetStatus(QString());
    bar_->setRange(0, 0);
    bar_->setValue(0);
    countLabel_->clear();
}

void CWaitingDlg::ShowNotice(const ProgressNotice& notice) {
    countLabel_->setText(
        tr("%1 files found").arg(QLocale().toString(static_cast<qulonglong>(notice.filesFound))));
    const QString path = QFile::decodeName(notice.path.c_str());
    switch (notice.kind) {
        case ProgressNotice::Kind::Searching:
            SetStatus(QStringLiteral("Searching : ") + path);
            bar_->setRange(0, 0);
            return;
        case ProgressNotice::Kind::Comparing:
        case ProgressNotice::Kind::Reading:
            SetStatus(QStringLiteral("Comparing : ") + path);
            bar_->setRange(0, kBarSteps);
            bar_->setValue(notice.bytesToHash == 0
                               ? 0
                               : static_cast<int>(static_cast<long double>(notice.bytesHashed) *
                                                  kBarSteps / notice.bytesToHash));
            return;
        case ProgressNotice::Kind::ComparisonEnded:
            bar_->setRange(0, kBarSteps);
            bar_->setValue(kBarSteps);
            return;
    }
}

void CWaitingDlg::reject() {
    Q_EMIT cancelRequested();
}

void CWaitingDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ElideStatus();
}

void CWaitingDlg::SetStatus(const QString& text) {
    status_ = text;
    ElideStatus();
}

void CWaitingDlg::ElideStatus() {
    statusLabel_->setText(
        statusLabel_->fontMetrics().elidedText(status_, Qt::ElideMiddle, statusLabel_->width()));
    statusLabel_->setToolTip(status_);
}

}  // namespace krelix
