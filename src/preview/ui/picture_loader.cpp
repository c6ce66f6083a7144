#include "preview/ui/picture_loader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImageReader>

#include "preview/picture_fit.h"

namespace krelix {
namespace {

// Enough for a 16000 x 8000 picture at 32 bits; larger ones are refused by the decoder
// rather than exhausting memory.
constexpr int kAllocationLimitMb = 512;

}  // namespace

QImage DecodePicture(const std::string& path, QSize maxSize) {
    // Opened by its bytes (names need not be UTF-8) and without blocking, so a FIFO that
    // replaced the file cannot hang the worker.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return {};
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kAllocationLimitMb);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && maxSize.isValid()) {
        const PictureSize limited =
            LimitPictureSize(full.width(), full.height(), maxSize.width(), maxSize.height());
        if (limited.width != full.width() || limited.height != full.height()) {
            reader.setScaledSize(QSize(limited.width, limited.height));
        }
    }
    return reader.read();
}

PictureLoader::PictureLoader(QObject* parent) : QObject(parent) {}

PictureLoader::~PictureLoader() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        pending_.reset();
    }
    wake_.notify_one();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void PictureLoader::Request(std::string path, QSize maxSize) {
    ++latest_;
    {
        std::lock_guard lock(mutex_);
        pending_ = Job{latest_, std::move(path), maxSize};
    }
    wake_.notify_one();
    if (!worker_.joinable()) {
        worker_ = std::thread([this] { Work(); });
    }
}

void PictureLoader::Cancel() {
    ++latest_;
    std::lock_guard lock(mutex_);
    pending_.reset();
}

void PictureLoader::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
            if (stopping_) {
                return;
            }
            job = std::move(*pending_);
            pending_.reset();
        }
        QImage image = DecodePicture(job.path, job.maxSize);
        // The destructor joins this thread before the object goes, so the queued call
        // always finds it alive.
        QMetaObject::invokeMethod(
            this,
            [this, number = job.number, image = std::move(image)]() mutable {
                Deliver(number, std::move(image));
            },
            Qt::QueuedConnection);
    }
}

void PictureLoader::Deliver(std::uint64_t number, QImage image) {
    if (number == latest_) {
        Q_EMIT Decoded(std::move(image));
    }
}

}  // namespace krelix
