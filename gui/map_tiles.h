// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "map/map_source.h"
#include "map/tile_cache.h"
#include "map/tile_grid.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace quillet::tiles {
class MbTilesFile;
}

namespace quillet::gui {

// The tiles of the chosen map for the preview: from an MBTiles file, or from a tile
// server through the disk cache, at most two requests at a time and only for the
// tiles of the last picture painted. A tile that is not there yet is simply missing
// from the picture; `tileArrived` asks for the picture again.
class MapTiles : public QObject {
    Q_OBJECT

public:
    explicit MapTiles(QObject* parent = nullptr);
    ~MapTiles() override;

    // Sets the source; false (and None) when an MBTiles file cannot be read.
    bool setSource(const map::MapSource& source);
    const map::MapSource& source() const { return source_; }
    int minZoom() const;
    int maxZoom() const;
    // What the picture credits for the source.
    QString attribution() const;

    // The tile now, or a null image. Online, every tile asked for this way that is not
    // fresh is requested (those of earlier pictures no longer are).
    QImage tile(const map::TileId& id);
    // Starts a new picture: tiles asked for before and not started are dropped.
    void beginPicture();

    // Requests sent so far (for the tests).
    int requestsSent() const { return requestsSent_; }

signals:
    void tileArrived();

private:
    struct Known {
        QImage image;
        std::optional<map::CacheEntry> entry;  // online tiles
    };
    static quint64 keyOf(const map::TileId& id);
    void sendNext();
    void onReply(QNetworkReply* reply, map::TileId id);

    map::MapSource source_;
    std::string urlTemplate_;
    std::filesystem::path cacheRoot_;
    std::unique_ptr<tiles::MbTilesFile> mbtiles_;
    QNetworkAccessManager* network_ = nullptr;
    QHash<quint64, Known> known_;
    std::deque<map::TileId> queue_;  // wanted by the last picture, not yet sent
    QSet<quint64> queued_;
    QSet<quint64> inFlight_;
    QSet<quint64> tried_;  // sent since the picture began: not again until the next
    int requestsSent_ = 0;
};

}  // namespace quillet::gui
