#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "document/file_system.h"

namespace pelorin {

// The thumbnails of pictures in the file browser, decoded on a thread of
// their own, one picture at a time, and handed back on the GUI thread: a
// large or hostile picture never holds up the dialog, whatever the folder
// holds. Each path is read once; a picture that cannot be read has none.
class PictureThumbnails : public QObject {
    Q_OBJECT
public:
    // files must be safe to read from another thread while the GUI uses it
    // (the POSIX file system is; the in-memory one of the tests is, for reads)
    // and outlive this object.
    PictureThumbnails(FileSystem& files, QSize box, QObject* parent = nullptr);
    // Drops what is waiting and waits for the picture being read, if any.
    ~PictureThumbnails() override;
    PictureThumbnails(const PictureThumbnails&) = delete;
    PictureThumbnails& operator=(const PictureThumbnails&) = delete;

    // What is known of path's thumbnail: nothing while it is being read (it
    // is asked for then, once), else the picture or nullopt for none.
    std::optional<std::optional<QImage>> find(const std::string& path);
    // True while a request is waiting or being read.
    bool busy() const;

signals:
    // A thumbnail has arrived (or turned out to be none).
    void arrived(const QString& path);

private:
    void work();

    FileSystem& files_;
    const QSize box_;
    std::map<std::string, std::optional<QImage>> known_;  // GUI thread only
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> waiting_;
    std::set<std::string> asked_;  // GUI thread only: asked, not yet arrived
    bool reading_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace pelorin
