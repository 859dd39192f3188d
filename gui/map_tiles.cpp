// SPDX-License-Identifier: GPL-3.0-or-later
#include "map_tiles.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "map/tile_fetch.h"
#include "mbtiles_file.h"

namespace quillet::gui {

namespace {

constexpr int kTimeoutMilliseconds = 15000;

QImage imageOf(const std::string& bytes) {
    return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                            static_cast<int>(bytes.size()));
}

std::string headerOf(const QNetworkReply& reply, const char* name) {
    return reply.rawHeader(name).toStdString();
}

}  // namespace

MapTiles::MapTiles(QObject* parent)
    : QObject(parent), cacheRoot_(map::tileCacheRoot()), network_(new QNetworkAccessManager(this)) {
    network_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

MapTiles::~MapTiles() = default;

bool MapTiles::setSource(const map::MapSource& source) {
    known_.clear();
    beginPicture();
    mbtiles_.reset();
    source_ = source;
    urlTemplate_ = map::urlTemplateOf(source);
    if (source.kind == map::MapKind::MbTiles) {
        mbtiles_ = tiles::MbTilesFile::open(std::filesystem::u8path(source.location));
        if (!mbtiles_) {
            source_ = {};
            return false;
        }
    }
    return true;
}

int MapTiles::minZoom() const {
    return mbtiles_ ? mbtiles_->minZoom() : 0;
}

int MapTiles::maxZoom() const {
    return mbtiles_ ? mbtiles_->maxZoom() : map::kMaxZoom;
}

QString MapTiles::attribution() const {
    return QString::fromStdString(
        map::attributionOf(source_, mbtiles_ ? mbtiles_->attribution() : std::string()));
}

quint64 MapTiles::keyOf(const map::TileId& id) {
    return (quint64(id.zoom) << 58) | (quint64(id.x) << 29) | quint64(id.y);
}

void MapTiles::beginPicture() {
    queue_.clear();
    queued_.clear();
    tried_.clear();
}

QImage MapTiles::tile(const map::TileId& id) {
    const quint64 key = keyOf(id);
    if (mbtiles_) {
        auto found = known_.find(key);
        if (found == known_.end()) {
            const auto bytes = mbtiles_->tile(id);
            found = known_.insert(key, {bytes ? imageOf(*bytes) : QImage(), std::nullopt});
        }
        return found->image;
    }
    if (urlTemplate_.empty()) {
        return {};
    }
    auto found = known_.find(key);
    if (found == known_.end() && !cacheRoot_.empty()) {
        if (auto kept = map::readCachedTile(map::tileCachePath(cacheRoot_, urlTemplate_, id))) {
            found = known_.insert(key, {imageOf(kept->bytes), kept->entry});
        }
    }
    const std::optional<map::CacheEntry> entry =
        found != known_.end() ? found->entry : std::nullopt;
    if (map::stateOf(entry, map::unixNow()) != map::TileState::Fresh && !inFlight_.contains(key) &&
        !queued_.contains(key) && !tried_.contains(key)) {
        queue_.push_back(id);
        queued_.insert(key);
        sendNext();
    }
    return found != known_.end() ? found->image : QImage();
}

void MapTiles::sendNext() {
    while (inFlight_.size() < map::kMaxRequests && !queue_.empty()) {
        const map::TileId id = queue_.front();
        queue_.pop_front();
        const quint64 key = keyOf(id);
        queued_.remove(key);
        std::optional<map::CachedTile> kept;
        if (!cacheRoot_.empty()) {
            kept = map::readCachedTile(map::tileCachePath(cacheRoot_, urlTemplate_, id));
        }
        const map::TileRequest wanted = map::tileRequest(map::tileUrl(urlTemplate_, id), kept);
        QNetworkRequest request(QUrl(QString::fromStdString(wanted.url)));
        request.setHeader(QNetworkRequest::UserAgentHeader,
                          QString::fromStdString(wanted.userAgent));
        if (!wanted.ifNoneMatch.empty()) {
            request.setRawHeader("If-None-Match", QByteArray::fromStdString(wanted.ifNoneMatch));
        }
        if (!wanted.ifModifiedSince.empty()) {
            request.setRawHeader("If-Modified-Since",
                                 QByteArray::fromStdString(wanted.ifModifiedSince));
        }
        request.setTransferTimeout(kTimeoutMilliseconds);
        QNetworkReply* reply = network_->get(request);
        inFlight_.insert(key);
        tried_.insert(key);
        ++requestsSent_;
        connect(reply, &QNetworkReply::finished, this, [this, reply, id] { onReply(reply, id); });
    }
}

void MapTiles::onReply(QNetworkReply* reply, map::TileId id) {
    reply->deleteLater();
    const quint64 key = keyOf(id);
    inFlight_.remove(key);
    map::TileResponse response;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    response.status = status.isValid() ? status.toInt() : 0;
    response.headers = {headerOf(*reply, "Cache-Control"), headerOf(*reply, "Expires"),
                        headerOf(*reply, "Date"), headerOf(*reply, "ETag"),
                        headerOf(*reply, "Last-Modified")};
    response.body = reply->readAll().toStdString();
    std::optional<map::CachedTile> kept;
    const std::filesystem::path path = cacheRoot_.empty()
                                           ? std::filesystem::path()
                                           : map::tileCachePath(cacheRoot_, urlTemplate_, id);
    if (!path.empty()) {
        kept = map::readCachedTile(path);
    }
    const map::TileOutcome outcome = map::tileOutcome(kept, response, map::unixNow());
    map::keepOutcome(path, outcome);
    if (outcome.bytes) {
        // Without an entry to keep (a failure, or no-store), the tile is asked for again
        // on the next picture.
        known_.insert(key, {imageOf(*outcome.bytes), outcome.entry});
        emit tileArrived();
    }
    sendNext();
}

}  // namespace quillet::gui
