// SPDX-License-Identifier: GPL-3.0-or-later
#include "map_tiles.h"

#include <objbase.h>
#include <wincodec.h>

#include <thread>

#include "http_fetch.h"
#include "map/tile_cache.h"
#include "map/tile_fetch.h"
#ifdef QUILLET_HAVE_MBTILES
#include "mbtiles_file.h"
#endif

namespace quillet::win {

namespace {

// Releases a COM interface at the end of its scope.
template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p != nullptr) {
            p->Release();
        }
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

// COM on the calling thread for a scope, when it has none yet.
struct ComScope {
    HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ~ComScope() {
        if (SUCCEEDED(result)) {
            CoUninitialize();
        }
    }
};

}  // namespace

std::optional<TileImage> decodeTile(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > (64u << 20)) {
        return std::nullopt;
    }
    const ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICBitmapSource> converted;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()))) ||
        FAILED(factory->CreateStream(stream.out())) ||
        FAILED(
            stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                         static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.p, converted.out()))) {
        return std::nullopt;
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converted->GetSize(&width, &height)) || width == 0 || height == 0 || width > 4096 ||
        height > 4096) {
        return std::nullopt;
    }
    TileImage image{static_cast<int>(width), static_cast<int>(height),
                    std::vector<std::uint32_t>(std::size_t{width} * height)};
    if (FAILED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(image.pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(image.pixels.data())))) {
        return std::nullopt;
    }
    return image;
}

MapTiles::MapTiles(HWND window, UINT arrivedMessage)
    : cacheRoot_(map::tileCacheRoot()), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->window = window;
    mailbox_->message = arrivedMessage;
}

MapTiles::~MapTiles() {
    // A request still under way finds nobody to post to; its thread ends by itself.
    const std::lock_guard lock(mailbox_->mutex);
    mailbox_->window = nullptr;
}

bool MapTiles::setSource(const map::MapSource& source) {
    known_.clear();
    beginPicture();
    inFlight_.clear();
    ++generation_;
    mbtiles_.reset();
    source_ = source;
    urlTemplate_ = map::urlTemplateOf(source);
    if (source.kind == map::MapKind::MbTiles) {
#ifdef QUILLET_HAVE_MBTILES
        mbtiles_ = tiles::MbTilesFile::open(std::filesystem::u8path(source.location));
#endif
        if (!mbtiles_) {
            source_ = {};
            return false;
        }
    }
    return true;
}

int MapTiles::minZoom() const {
#ifdef QUILLET_HAVE_MBTILES
    if (mbtiles_) {
        return mbtiles_->minZoom();
    }
#endif
    return 0;
}

int MapTiles::maxZoom() const {
#ifdef QUILLET_HAVE_MBTILES
    if (mbtiles_) {
        return mbtiles_->maxZoom();
    }
#endif
    return map::kMaxZoom;
}

std::string MapTiles::attribution() const {
#ifdef QUILLET_HAVE_MBTILES
    if (mbtiles_) {
        return map::attributionOf(source_, mbtiles_->attribution());
    }
#endif
    return map::attributionOf(source_);
}

std::uint64_t MapTiles::keyOf(const map::TileId& id) {
    return (std::uint64_t(id.zoom) << 58) | (std::uint64_t(id.x) << 29) | std::uint64_t(id.y);
}

void MapTiles::beginPicture() {
    queue_.clear();
    queued_.clear();
    tried_.clear();
}

const TileImage* MapTiles::tile(const map::TileId& id) {
    const std::uint64_t key = keyOf(id);
#ifdef QUILLET_HAVE_MBTILES
    if (mbtiles_) {
        auto found = known_.find(key);
        if (found == known_.end()) {
            const auto bytes = mbtiles_->tile(id);
            found =
                known_.emplace(key, Known{bytes ? decodeTile(*bytes) : std::nullopt, std::nullopt})
                    .first;
        }
        return found->second.image ? &*found->second.image : nullptr;
    }
#endif
    if (urlTemplate_.empty()) {
        return nullptr;
    }
    // The cache on disk is read on the request's thread too: here the tile is only
    // looked up.
    const auto found = known_.find(key);
    const bool fresh = found != known_.end() &&
                       map::stateOf(found->second.entry, map::unixNow()) == map::TileState::Fresh;
    if (!fresh && !inFlight_.contains(key) && !queued_.contains(key) && !tried_.contains(key)) {
        queue_.push_back(id);
        queued_.insert(key);
        sendNext();
    }
    return found != known_.end() && found->second.image ? &*found->second.image : nullptr;
}

void MapTiles::sendNext() {
    while (running_ < map::kMaxRequests && !queue_.empty()) {
        const map::TileId id = queue_.front();
        queue_.pop_front();
        const std::uint64_t key = keyOf(id);
        queued_.erase(key);
        inFlight_.insert(key);
        tried_.insert(key);
        ++running_;
        ++requestsSent_;
        // The thread reads the kept tile, asks the server unless it is fresh, keeps the
        // answer on disk and decodes it: the window's thread only draws.
        std::thread([mailbox = mailbox_, root = cacheRoot_, urlTemplate = urlTemplate_, id, key,
                     generation = generation_] {
            const std::filesystem::path path =
                root.empty() ? std::filesystem::path() : map::tileCachePath(root, urlTemplate, id);
            std::optional<map::CachedTile> kept;
            if (!path.empty()) {
                kept = map::readCachedTile(path);
            }
            const auto post = [&mailbox](Answer answer) {
                const std::lock_guard lock(mailbox->mutex);
                mailbox->answers.push_back(std::move(answer));
                if (mailbox->window != nullptr) {
                    PostMessageW(mailbox->window, mailbox->message, 0, 0);
                }
            };
            if (kept && map::stateOf(kept->entry, map::unixNow()) == map::TileState::Fresh) {
                post({key, generation, decodeTile(kept->bytes), kept->entry});
                return;
            }
            const map::TileResponse response =
                tiles::httpGet(map::tileRequest(map::tileUrl(urlTemplate, id), kept));
            const map::TileOutcome outcome = map::tileOutcome(kept, response, map::unixNow());
            map::keepOutcome(path, outcome);
            Answer answer{key, generation,
                          outcome.bytes ? decodeTile(*outcome.bytes) : std::nullopt, outcome.entry};
            const std::lock_guard lock(mailbox->mutex);
            mailbox->answers.push_back(std::move(answer));
            if (mailbox->window != nullptr) {
                PostMessageW(mailbox->window, mailbox->message, 0, 0);
            }
        }).detach();
    }
}

bool MapTiles::takeArrived() {
    std::vector<Answer> answers;
    {
        const std::lock_guard lock(mailbox_->mutex);
        answers.swap(mailbox_->answers);
    }
    bool drawn = false;
    for (Answer& answer : answers) {
        --running_;
        if (answer.generation != generation_) {
            continue;  // asked for a source no longer shown
        }
        inFlight_.erase(answer.key);
        if (answer.image) {
            // Without an entry to keep (a failure, or no-store), the tile is asked for
            // again on the next picture.
            known_[answer.key] = Known{std::move(answer.image), answer.entry};
            ++tilesArrived_;
            drawn = true;
        }
    }
    sendNext();
    return drawn;
}

}  // namespace quillet::win
