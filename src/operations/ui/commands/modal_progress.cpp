#include "operations/ui/commands/modal_progress.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressDialog>
#include <limits>

namespace krelix {
namespace {

constexpr int kLabelWidth = 480;

int Clamped(std::size_t value) {
    return static_cast<int>(std::min<std::size_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

ModalProgress::ModalProgress(QWidget* parent, int minimumDurationMs)
    : parent_(parent), minimumDurationMs_(minimumDurationMs) {}

ModalProgress::~ModalProgress() = default;

void ModalProgress::Begin(const std::string& title, std::size_t total) {
    running_ = true;
    title_ = title;
    total_ = total;
    suspended_ = 0;
    canceled_ = false;
    MakeDialog(0, QString(), false);
}

void ModalProgress::MakeDialog(int value, const QString& label, bool showNow) {
    dialog_ = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Cancel"), 0,
                                                Clamped(total_), parent_);
    auto* plain = new QLabel(dialog_.get());
    plain->setTextFormat(Qt::PlainText);  // the label shows file names
    dialog_->setLabel(plain);
    dialog_->setWindowTitle(QString::fromUtf8(title_));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(showNow ? 0 : minimumDurationMs_);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumWidth(kLabelWidth + 40);
    dialog_->setLabelText(label);
    dialog_->setValue(value);
}

bool ModalProgress::Next(std::size_t done, const std::string& path) {
    if (canceled_) {
        return false;
    }
    if (!dialog_) {
        return true;
    }
    if (dialog_->wasCanceled()) {
        return false;
    }
    const QString text = QFile::decodeName(QByteArray(path.data(), Clamped(path.size())));
    dialog_->setLabelText(
        QFontMetrics(dialog_->font()).elidedText(text, Qt::ElideMiddle, kLabelWidth));
    // Once shown, the box is modal and setValue lets every event through itself.
    dialog_->setValue(Clamped(done));
    if (!dialog_->isVisible()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return !dialog_->wasCanceled();
}

void ModalProgress::End() {
    running_ = false;
    suspended_ = 0;
    dialog_.reset();
}

void ModalProgress::Suspend() {
    if (suspended_++ != 0 || !dialog_) {
        return;
    }
    // Hiding is not enough: a box not shown yet would still pop up over the message box once
    // its minimum duration passed, and take the keys.
    canceled_ = canceled_ || dialog_->wasCanceled();
    value_ = dialog_->value();
    label_ = dialog_->labelText();
    wasVisible_ = dialog_->isVisible();
    dialog_.reset();
}

void ModalProgress::Resume() {
    if (suspended_ == 0 || --suspended_ != 0 || !running_ || dialog_) {
        return;
    }
    MakeDialog(value_, label_, wasVisible_);
    if (wasVisible_) {
        dialog_->show();
    }
}

}  // namespace krelix
