#include "browser/picture_thumbnails.h"

#include <QFile>

#include "imageio/picture_io.h"

namespace pelorin {

PictureThumbnails::PictureThumbnails(FileSystem& files, QSize box, QObject* parent)
    : QObject(parent), files_(files), box_(box), worker_([this] { work(); }) {}

PictureThumbnails::~PictureThumbnails() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.clear();
    }
    wake_.notify_all();
    worker_.join();
}

std::optional<std::optional<QImage>> PictureThumbnails::find(const std::string& path) {
    const auto known = known_.find(path);
    if (known != known_.end()) return known->second;
    if (asked_.insert(path).second) {
        {
            const std::lock_guard lock(mutex_);
            waiting_.push_back(path);
        }
        wake_.notify_one();
    }
    return std::nullopt;
}

bool PictureThumbnails::busy() const {
    const std::lock_guard lock(mutex_);
    return reading_ || !waiting_.empty();
}

void PictureThumbnails::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_) return;
        const std::string path = waiting_.front();
        waiting_.pop_front();
        reading_ = true;
        lock.unlock();
        std::optional<QImage> thumbnail = imageio::readPictureThumbnail(files_, path, box_);
        // Delivered on the GUI thread; dropped by Qt if this object is gone.
        QMetaObject::invokeMethod(
            this,
            [this, path, thumbnail = std::move(thumbnail)] {
                asked_.erase(path);
                known_[path] = thumbnail;
                emit arrived(QFile::decodeName(QByteArray::fromStdString(path)));
            },
            Qt::QueuedConnection);
        lock.lock();
        reading_ = false;
    }
}

}  // namespace pelorin
