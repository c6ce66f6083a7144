#include "operations/ui/modal_progress.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QProgressDialog>
#include <limits>

namespace krelix {
namespace {

constexpr int kLabelWidth = 480;

int Clamped(std::size_t value) {
    return static_cast<int>(std::min<std::size_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

ModalProgress::ModalProgress(QWidget* parent) : parent_(parent) {}

ModalProgress::~ModalProgress() = default;

void ModalProgress::Begin(const std::string& title, std::size_t total) {
    dialog_ = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Cancel"), 0,
                                                Clamped(total), parent_);
    dialog_->setWindowTitle(QString::fromUtf8(title));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(kMinimumDurationMs);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumWidth(kLabelWidth + 40);
    dialog_->setValue(0);
}

bool ModalProgress::Next(std::size_t done, const std::string& path) {
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
    dialog_.reset();
}

}  // namespace krelix
