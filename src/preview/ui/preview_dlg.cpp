#include "preview/ui/preview_dlg.h"

#include <QFile>
#include <QFontMetrics>
#include <QResizeEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "preview/path_shortening.h"
#include "preview/ui/picture_ctrl.h"
#include "preview/ui/picture_loader.h"

namespace krelix {
namespace {

const QString kTitle = QStringLiteral("Picture Preview");
// The outer size the window may not be dragged below.
constexpr int kMinOuterWidth = 300;
constexpr int kMinOuterHeight = 200;
// What the title bar keeps for "Picture Preview - ", the icon and the buttons.
constexpr int kTitleReserve = 130;

// The initial size, 317 x 193 in dialog units of the window's font.
QSize InitialSize(const QFontMetrics& metrics) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    const int baseY = metrics.height();
    return {317 * baseX / 4, 193 * baseY / 8};
}

}  // namespace

CPreviewDlg::CPreviewDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      picture_(new CPictureCtrl(this)),
      loader_(new PictureLoader(this)) {
    setWindowTitle(kTitle);
    setSizeGripEnabled(false);
    // Stepping through the results with the keyboard must not lose the focus to the preview.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture_);
    picture_->hide();

    resize(InitialSize(fontMetrics()));
    UpdateMinimumSize();
    connect(loader_, &PictureLoader::Decoded, this, &CPreviewDlg::OnDecoded);
}

CPreviewDlg::~CPreviewDlg() = default;

void CPreviewDlg::ShowFile(const std::string& path) {
    // A check mark or a repaint of the same row reports the same file again.
    if (path == path_ && outcome_ != Outcome::Pending) {
        if (outcome_ == Outcome::Picture) {
            show();
        }
        Q_EMIT FileShown(outcome_ == Outcome::Picture);
        return;
    }
    path_ = path;
    outcome_ = Outcome::Pending;
    setToolTip(QFile::decodeName(QByteArray::fromStdString(path_)));
    UpdateTitle();
    loader_->Request(path_, DecodeLimit());
}

void CPreviewDlg::HidePreview() {
    loader_->Cancel();
    outcome_ = Outcome::Pending;
    hide();
}

void CPreviewDlg::OnDecoded(QImage image) {
    outcome_ = image.isNull() ? Outcome::NotPicture : Outcome::Picture;
    if (image.isNull()) {
        picture_->ClearPicture();
        picture_->hide();
        Q_EMIT FileShown(false);
        return;
    }
    picture_->show();
    picture_->SetPicture(std::move(image));
    show();
    Q_EMIT FileShown(true);
}

void CPreviewDlg::UpdateTitle() {
    if (path_.empty()) {
        setWindowTitle(kTitle);
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const QByteArray shown = QFile::decodeName(QByteArray::fromStdString(path_)).toUtf8();
    const std::string shortened =
        ShortenPath(std::string_view(shown.constData(), shown.size()),
                    frameGeometry().width() - kTitleReserve, [&metrics](std::string_view utf8) {
                        return metrics.horizontalAdvance(
                            QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
                    });
    setWindowTitle(kTitle + QStringLiteral(" - ") + QString::fromStdString(shortened));
}

// Window managers hold the dragged edge at the minimum size and keep the opposite edge where
// it is; the minimum is given for the client area, so the frame is taken off once known.
void CPreviewDlg::UpdateMinimumSize() {
    const QSize frame = frameGeometry().size() - geometry().size();
    setMinimumSize(kMinOuterWidth - frame.width(), kMinOuterHeight - frame.height());
}

QSize CPreviewDlg::DecodeLimit() const {
    const QScreen* shown = screen();
    if (shown == nullptr) {
        return {4096, 4096};
    }
    return shown->size() * shown->devicePixelRatio();
}

void UpdatePreview(std::unique_ptr<CPreviewDlg>& preview, QWidget* parent,
                   const std::optional<std::string>& selectedPath) {
    if (!preview) {
        preview = std::make_unique<CPreviewDlg>(parent);
    }
    if (selectedPath) {
        preview->ShowFile(*selectedPath);
    }
}

void CPreviewDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    UpdateTitle();
}

void CPreviewDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    UpdateMinimumSize();
    UpdateTitle();
}

}  // namespace krelix
