#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace krelix {

// Decodes the file at path by its content (the name's extension does not matter) no larger
// than maxSize: bigger pictures are decoded shrunk, keeping their aspect ratio. A null image
// when the file cannot be opened, is not a regular file or is not a picture Qt can decode.
// Safe to call on any thread.
QImage DecodePicture(const std::string& path, QSize maxSize);

// Decodes pictures on one worker thread so that a huge picture never stalls the window.
// Only the latest request matters: a request not yet started is replaced by the next one,
// and results of superseded requests are dropped, so at most one picture is being decoded
// and memory stays bounded however fast the selection moves. Lives on the UI thread.
class PictureLoader final : public QObject {
    Q_OBJECT

  public:
    explicit PictureLoader(QObject* parent = nullptr);
    ~PictureLoader() override;  // waits for a decode in progress to finish

    void Request(std::string path, QSize maxSize);
    // Forgets the current request: its result will not be delivered.
    void Cancel();

  Q_SIGNALS:
    // The result of the latest request; a null image when the file is not a picture.
    void Decoded(QImage image);

  private:
    struct Job {
        std::uint64_t number = 0;
        std::string path;
        QSize maxSize;
    };

    void Work();
    void Deliver(std::uint64_t number, QImage image);

    std::uint64_t latest_ = 0;  // UI thread only
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_;
    bool stopping_ = false;
    std::thread worker_;  // started with the first request
};

}  // namespace krelix
