#include "edit/rewrite_device_file.h"

#include <string>
#include <vector>

#include "app/fill_list.h"
#include "edit/deletion_messages.h"
#include "edit/framed_file.h"

namespace quillet {
namespace {

namespace messages = deletion_messages;

// Closes a file on every way out; close() reports how the close went.
class OpenFile {
public:
    OpenFile(FileOperations& ops, std::FILE* file) : ops_(ops), file_(file) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() { close(); }

    std::FILE* get() const { return file_; }
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

class Rewrite {
public:
    Rewrite(AppState& state, UserInterface& ui, const RewriteRequest& request, FileOperations& ops)
        : state_(state),
          ui_(ui),
          ops_(ops),
          target_(request.target),
          filledFrom_(request.filledFrom),
          device_(request.deviceFile),
          temporary_(request.deviceFile.parent_path() / target_.temporaryName),
          backup_(request.deviceFile.parent_path() / target_.backupName) {
        result_.deviceFile = device_;
        result_.backupFile = backup_;
    }

    DeleteResult run() {
        FramedFile file;
        if (!readDeviceFile(file)) {
            return result_;
        }
        const std::vector<bool> keep = keptRecords(state_.list, file.frameStarts.size());
        const ComposedFile composed = composeFramedFile(file, keep);
        if (!writeTemporaryFile(composed) || !replaceDeviceFile()) {
            return result_;
        }
        std::size_t kept = 0;
        for (const bool k : keep) {
            kept += k ? 1 : 0;
        }
        result_.outcome = CommandOutcome::Done;
        result_.removed = keep.size() - kept;
        fillList(state_, ui_);
        return result_;
    }

private:
    // Reads the header and every counted record, after making sure that the file still
    // holds what the list shows. Nothing is written before this has succeeded.
    bool readDeviceFile(FramedFile& file) {
        OpenFile device(ops_, ops_.openForReading(device_));
        if (device.get() == nullptr) {
            return fail(messages::openFailed(target_));
        }
        const std::uint32_t filledCount = filledFrom_ ? filledFrom_->recordCount : 0;
        const auto now = ops_.snapshot(device_, filledCount);
        if (!filledFrom_ || !now || *now != *filledFrom_) {
            device.close();
            return refuseChanged();
        }
        if (!accept(readFramedHeader(ops_, device.get(), file))) {
            return false;
        }
        if (file.recordCount != filledCount) {
            device.close();
            return refuseChanged();
        }
        // The records take at most the file's size: one block, grown never.
        file.frames.reserve(static_cast<std::size_t>(now->size));
        if (!accept(readFramedRecords(ops_, device.get(), file))) {
            return false;
        }
        // Everything needed has been read: a failing close of a file opened for reading
        // cannot take anything from it.
        device.close();
        if (target_.tracksFramedByPoints) {
            if (const std::size_t track = firstMisframedTrack(file); track != 0) {
                return refuse(messages::misframedTrack(target_, track));
            }
        }
        return true;
    }

    // The new file, complete and on the disk, or no temporary file at all.
    bool writeTemporaryFile(const ComposedFile& composed) {
        OpenFile temporary(ops_, ops_.createForWriting(temporary_));
        if (temporary.get() == nullptr) {
            return fail(messages::createFailed(target_));
        }
        bool written = ops_.write(temporary.get(), composed.head);
        for (std::size_t run = 0; written && run < composed.runs.size(); ++run) {
            written = ops_.write(temporary.get(), composed.runs[run]);
        }
        written = written && ops_.flushToDisk(temporary.get()) && temporary.close();
        if (!written) {
            temporary.close();
            return failAndRemoveTemporary(messages::writeFailed(target_));
        }
        return true;
    }

    // The device file becomes the one backup and the new file takes its name.
    bool replaceDeviceFile() {
        if (!ops_.removeFile(backup_)) {
            return failAndRemoveTemporary(messages::backupNotRemoved(target_));
        }
        const bool replaced =
            ops_.linkFile(device_, backup_) ? replaceLinkedDeviceFile() : replaceMovedDeviceFile();
        if (!replaced) {
            return false;
        }
        // The renames are done; if the folder cannot be synced they still last unless
        // the system goes down at once, so the deletion counts as done.
        ops_.syncDirectory(device_.parent_path());
        return true;
    }

    // The old file has both names now; the new file takes the device file's name in one
    // step, so that name never stands empty, not even if the program is killed.
    bool replaceLinkedDeviceFile() {
        if (!ops_.renameFile(temporary_, device_)) {
            return failAndRemoveTemporary(messages::newFileNotPlaced(target_));
        }
        return true;
    }

    // Without hard links the old file moves to the backup name first: until the new
    // file has the device file's name, the records are under the backup's name.
    bool replaceMovedDeviceFile() {
        if (!ops_.renameFile(device_, backup_)) {
            return failAndRemoveTemporary(messages::deviceFileNotMoved(target_));
        }
        if (!ops_.renameFile(temporary_, device_)) {
            if (ops_.renameFile(backup_, device_)) {
                return failAndRemoveTemporary(messages::newFileNotPlaced(target_));
            }
            return failAndRemoveTemporary(messages::newFileNotPlacedOldInBackup(target_));
        }
        return true;
    }

    // A read that did not deliver the whole file refuses or fails the deletion.
    bool accept(ReadStatus status) {
        switch (status) {
            case ReadStatus::Complete:
                return true;
            case ReadStatus::Incomplete:
                return refuse(messages::incomplete(target_));
            case ReadStatus::Unreadable:
                return fail(messages::unreadable(target_));
        }
        return fail(messages::unreadable(target_));
    }

    bool refuseChanged() {
        fillList(state_, ui_);
        return refuse(messages::changedSinceFill(target_));
    }

    bool refuse(const std::string& text) {
        show(text);
        result_.outcome = CommandOutcome::Refused;
        return false;
    }

    bool fail(const std::string& text) {
        show(text);
        result_.outcome = CommandOutcome::Failed;
        return false;
    }

    bool failAndRemoveTemporary(std::string text) {
        if (!ops_.removeFile(temporary_)) {
            text += messages::temporaryFileLeft(target_);
        }
        return fail(text);
    }

    void show(const std::string& text) {
        ui_.showMessage(text, kTitleText, Buttons::Ok, Icon::Error);
    }

    AppState& state_;
    UserInterface& ui_;
    FileOperations& ops_;
    const DeletionTarget target_;
    const std::optional<FileSnapshot> filledFrom_;
    const std::filesystem::path device_;
    const std::filesystem::path temporary_;
    const std::filesystem::path backup_;
    DeleteResult result_;
};

}  // namespace

DeleteResult rewriteDeviceFile(AppState& state, UserInterface& ui, const RewriteRequest& request,
                               FileOperations& ops) {
    return Rewrite(state, ui, request, ops).run();
}

}  // namespace quillet
