// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/rewrite_device_file.h"

#include <string>
#include <vector>

#include "device/path_text.h"
#include "edit/deletion_messages.h"
#include "edit/framed_file.h"

namespace quillet {
namespace {

namespace messages = deletion_messages;

// Closes a file on every way out; close() reports how the close went.
class OpenFile {
public:
    explicit OpenFile(FileOperations& ops, std::FILE* file = nullptr) : ops_(ops), file_(file) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() { close(); }

    std::FILE* get() const { return file_; }
    void reset(std::FILE* file) {
        close();
        file_ = file;
    }
    bool close() {
        if (file_ == nullptr) {
            return true;
        }
        std::FILE* file = file_;
        file_ = nullptr;
        return ops_.close(file);
    }

private:
    FileOperations& ops_;
    std::FILE* file_;
};

// Record p stays when a row carries p and is not selected.
std::vector<bool> keptRecords(const RecordList& list, std::size_t recordCount) {
    std::vector<bool> keep(recordCount, false);
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        const std::int32_t item = list.itemNumber(row);
        if (item >= 1 && static_cast<std::size_t>(item) <= recordCount && !list.isSelected(row)) {
            keep[static_cast<std::size_t>(item) - 1] = true;
        }
    }
    return keep;
}

// The fields of two snapshots that can be compared without reading the file.
bool sameOutside(const FileSnapshot& a, const FileSnapshot& b) {
    return a.size == b.size && a.modified == b.modified && a.recordCount == b.recordCount &&
           a.identity == b.identity;
}

class Rewrite {
public:
    // A deletion of the selected rows of `list`, or, without a list, the restore of
    // `version`.
    Rewrite(const RecordList* list, const HistoryVersion* version, const RewriteRequest& request,
            FileOperations& ops)
        : list_(list),
          version_(version),
          ops_(ops),
          target_(request.target),
          filledFrom_(request.filledFrom),
          history_(request.history),
          noHistoryFolder_(request.noHistoryFolder),
          given_(request.deviceFile),
          device_(ops) {}

    DeleteResult run() {
        if (!locate()) {
            return result_;
        }
        FramedFile file;
        if (!readDeviceFile(file)) {
            return result_;
        }
        std::vector<std::span<const std::uint8_t>> pieces;
        ComposedFile composed;
        std::vector<std::uint8_t> restored;
        if (list_ != nullptr) {
            composed = composeFramedFile(file, keptRecords(*list_, file.frameStarts.size()));
            pieces.push_back(composed.head);
            pieces.insert(pieces.end(), composed.runs.begin(), composed.runs.end());
        } else {
            auto bytes = readVersionBytes(ops_, *version_);
            if (!bytes) {
                refuse(messages::versionDamaged(version_->id, pathText(version_->storedFile)));
                return result_;
            }
            restored = std::move(*bytes);
            pieces.push_back(restored);
        }
        if (!keepInHistory(file) || !writeTemporaryFile(pieces) || !replaceDeviceFile()) {
            return result_;
        }
        // Closing the old file lets the next deletion go ahead.
        device_.close();
        result_.outcome = CommandOutcome::Done;
        result_.removed = composed.removed;
        result_.listIsStale = true;
        return result_;
    }

private:
    // Finds the file the device file's path stands for. Behind a link, the temporary
    // file and the backup go beside the real file and every message names real paths.
    bool locate() {
        const auto real = ops_.realPath(given_);
        path_ = real.value_or(given_);
        const std::filesystem::path folder = path_.parent_path();
        temporary_ = folder / target_.temporaryName;
        backup_ = folder / target_.backupName;
        result_.deviceFile = path_;
        result_.backupFile = backup_;
        names_ = target_;
        if (path_ != given_) {
            deviceText_ = pathText(path_);
            temporaryText_ = pathText(temporary_);
            backupText_ = pathText(backup_);
            names_.deviceName = deviceText_;
            names_.temporaryName = temporaryText_;
            names_.backupName = backupText_;
        }
        if (!real) {
            return fail(messages::openFailed(names_));
        }
        if (path_ == temporary_ || path_ == backup_) {
            return refuse(messages::linkToOwnBackup(names_, pathText(given_)));
        }
        if (version_ != nullptr && version_->deviceFile != path_) {
            return refuse(messages::versionOfAnotherFile(version_->id,
                                                         pathText(version_->deviceFile), names_));
        }
        return true;
    }

    // Opens and locks the device file, then reads the header and every counted record,
    // after making sure that the file still holds what the list shows. Nothing is
    // written before this has succeeded; the lock is kept until the file is replaced.
    bool readDeviceFile(FramedFile& file) {
        device_.reset(ops_.openForReading(path_));
        if (device_.get() == nullptr) {
            return fail(messages::openFailed(names_));
        }
        switch (ops_.lock(device_.get(), kLockPatience)) {
            case platform::LockStatus::Locked:
                break;
            case platform::LockStatus::Busy:
                return refuse(messages::busy(names_));
            case platform::LockStatus::Failed:
                return fail(messages::notLocked(names_));
        }
        facts_ = ops_.facts(device_.get(), path_);
        if (!facts_) {
            return fail(messages::unreadable(names_));
        }
        if (facts_->readOnly) {
            return refuse(messages::readOnly(names_));
        }
        // The name must still stand for the file that is locked, and that file must be
        // the one the list was filled from.
        const std::uint32_t filledCount = filledFrom_ ? filledFrom_->recordCount : 0;
        const auto now = ops_.snapshot(path_, filledCount);
        if (!filledFrom_ || !now || !sameOutside(*now, *filledFrom_) ||
            facts_->identity != filledFrom_->identity) {
            return refuseChanged();
        }
        if (!filledFrom_->content) {
            return refuse(messages::tooLarge(names_));
        }
        if (!accept(readFramedHeader(ops_, device_.get(), file))) {
            return false;
        }
        if (file.recordCount != filledCount) {
            return refuseChanged();
        }
        // The records take at most the file's size: one block, grown never.
        file.frames.reserve(static_cast<std::size_t>(now->size));
        if (!accept(readFramedRecords(ops_, device_.get(), file))) {
            return false;
        }
        const auto content = hashOfWholeFile(file);
        if (!content) {
            return fail(messages::unreadable(names_));
        }
        if (*content != *filledFrom_->content) {
            return refuseChanged();
        }
        if (target_.tracksFramedByPoints && list_ != nullptr) {
            if (const std::size_t track = firstMisframedTrack(file); track != 0) {
                return refuse(messages::misframedTrack(names_, track));
            }
        }
        return true;
    }

    // The hash of what was read, followed by whatever the file holds after its counted
    // records; nothing on a read error.
    std::optional<ContentHash> hashOfWholeFile(const FramedFile& file) {
        ContentHasher hasher;
        hasher.add(file.header);
        std::array<std::uint8_t, FramedFile::kCountBytes> count{};
        for (std::size_t i = 0; i < count.size(); ++i) {
            count[i] = static_cast<std::uint8_t>(file.recordCount >> (8 * i));
        }
        hasher.add(count);
        hasher.add(file.frames);
        std::vector<std::uint8_t> rest(64 * 1024);
        for (;;) {
            const auto got = ops_.read(device_.get(), rest);
            if (!got) {
                return std::nullopt;
            }
            hasher.add(std::span(rest).first(*got));
            // The history keeps the file whole, the bytes after the records too.
            trailer_.insert(trailer_.end(), rest.begin(),
                            rest.begin() + static_cast<std::ptrdiff_t>(*got));
            if (*got < rest.size()) {
                return hasher.result();
            }
        }
    }

    // The device file as it was read goes into the history before anything is written;
    // when it cannot, nothing is changed.
    bool keepInHistory(const FramedFile& file) {
        if (!history_) {
            if (!noHistoryFolder_.empty()) {
                return refuse(messages::noHistoryFolder(names_, noHistoryFolder_));
            }
            return true;
        }
        std::array<std::uint8_t, FramedFile::kCountBytes> count{};
        for (std::size_t i = 0; i < count.size(); ++i) {
            count[i] = static_cast<std::uint8_t>(file.recordCount >> (8 * i));
        }
        const std::array<std::span<const std::uint8_t>, 4> pieces{file.header, count, file.frames,
                                                                  trailer_};
        const AfterReplacement after{version_ != nullptr ? std::optional(version_->hash)
                                                         : std::nullopt};
        const RecordResult kept =
            recordVersion(*history_, ops_, path_, *filledFrom_->content, pieces, after);
        if (!kept.version) {
            return refuse(
                messages::historyNotWritten(names_, pathText(history_->folder), kept.problem));
        }
        result_.historyId = kept.version->id;
        return true;
    }

    // The new file, complete and on the disk, or no temporary file at all. Whatever had
    // the temporary file's name before is removed as a name, never written through.
    bool writeTemporaryFile(std::span<const std::span<const std::uint8_t>> pieces) {
        ops_.removeFile(temporary_);
        OpenFile temporary(ops_, ops_.createForWriting(temporary_));
        if (temporary.get() == nullptr) {
            return fail(messages::createFailed(names_));
        }
        if (!ops_.copyAccess(*facts_, temporary.get())) {
            temporary.close();
            return failAndRemoveTemporary(messages::accessNotCopied(names_));
        }
        bool written = true;
        for (std::size_t piece = 0; written && piece < pieces.size(); ++piece) {
            written = ops_.write(temporary.get(), pieces[piece]);
        }
        written = written && ops_.flushToDisk(temporary.get()) && temporary.close();
        if (!written) {
            temporary.close();
            return failAndRemoveTemporary(messages::writeFailed(names_));
        }
        // A restored file is read back: it must be the version, byte for byte.
        if (version_ != nullptr && temporaryHash() != version_->hash) {
            return failAndRemoveTemporary(messages::writeFailed(names_));
        }
        return true;
    }

    std::optional<ContentHash> temporaryHash() {
        OpenFile written(ops_, ops_.openForReading(temporary_));
        if (written.get() == nullptr) {
            return std::nullopt;
        }
        ContentHasher hasher;
        std::vector<std::uint8_t> buffer(64 * 1024);
        for (;;) {
            const auto got = ops_.read(written.get(), buffer);
            if (!got) {
                return std::nullopt;
            }
            hasher.add(std::span(buffer).first(*got));
            if (*got < buffer.size()) {
                return hasher.result();
            }
        }
    }

    // The device file becomes the one backup and the new file takes its name.
    bool replaceDeviceFile() {
        if (!ops_.removeFile(backup_)) {
            return failAndRemoveTemporary(messages::backupNotRemoved(names_));
        }
        const bool replaced =
            ops_.linkFile(path_, backup_) ? replaceLinkedDeviceFile() : replaceMovedDeviceFile();
        if (!replaced) {
            return false;
        }
        // The renames are done; if the folder cannot be synced they still last unless
        // the system goes down at once, so the deletion counts as done.
        ops_.syncDirectory(path_.parent_path());
        return true;
    }

    // The old file has both names now; the new file takes the device file's name in one
    // step, so that name never stands empty, not even if the program is killed.
    bool replaceLinkedDeviceFile() {
#ifdef _WIN32
        // Windows gives no name to another file while the file it names is open: the
        // old file, and its lock, are let go just before.
        device_.close();
#endif
        if (!ops_.renameFile(temporary_, path_)) {
            return failAndRemoveTemporary(messages::newFileNotPlaced(names_));
        }
        return true;
    }

    // Without hard links the old file moves to the backup name first: until the new
    // file has the device file's name, the records are under the backup's name.
    bool replaceMovedDeviceFile() {
        if (!ops_.renameFile(path_, backup_)) {
            return failAndRemoveTemporary(messages::deviceFileNotMoved(names_));
        }
        if (!ops_.renameFile(temporary_, path_)) {
            if (ops_.renameFile(backup_, path_)) {
                return failAndRemoveTemporary(messages::newFileNotPlaced(names_));
            }
            return failAndRemoveTemporary(messages::newFileNotPlacedOldInBackup(names_));
        }
        return true;
    }

    // A read that did not deliver the whole file refuses or fails the deletion.
    bool accept(ReadStatus status) {
        switch (status) {
            case ReadStatus::Complete:
                return true;
            case ReadStatus::Incomplete:
                return refuse(messages::incomplete(names_));
            case ReadStatus::Unreadable:
                return fail(messages::unreadable(names_));
        }
        return fail(messages::unreadable(names_));
    }

    bool refuseChanged() {
        result_.listIsStale = true;
        return refuse(messages::changedSinceFill(names_));
    }

    bool refuse(const std::string& text) {
        result_.message = text;
        result_.outcome = CommandOutcome::Refused;
        return false;
    }

    bool fail(const std::string& text) {
        result_.message = text;
        result_.outcome = CommandOutcome::Failed;
        return false;
    }

    bool failAndRemoveTemporary(std::string text) {
        if (!ops_.removeFile(temporary_)) {
            text += messages::temporaryFileLeft(names_);
        }
        return fail(text);
    }

    const RecordList* list_;
    const HistoryVersion* version_;
    FileOperations& ops_;
    const DeletionTarget target_;
    const std::optional<FileSnapshot> filledFrom_;
    const std::optional<HistorySettings> history_;
    const std::string noHistoryFolder_;
    std::vector<std::uint8_t> trailer_;  // what the file holds after its counted records
    const std::filesystem::path given_;
    std::filesystem::path path_;  // the real device file
    std::filesystem::path temporary_;
    std::filesystem::path backup_;
    std::string deviceText_;
    std::string temporaryText_;
    std::string backupText_;
    DeletionTarget names_;  // the names the messages use
    OpenFile device_;       // open, and locked, from the check to the last rename
    std::optional<platform::FileFacts> facts_;
    DeleteResult result_;
};

}  // namespace

DeleteResult rewriteDeviceFile(const RecordList& list, const RewriteRequest& request,
                               FileOperations& ops) {
    return Rewrite(&list, nullptr, request, ops).run();
}

DeleteResult restoreDeviceFile(const HistoryVersion& version, const RewriteRequest& request,
                               FileOperations& ops) {
    return Rewrite(nullptr, &version, request, ops).run();
}

}  // namespace quillet
