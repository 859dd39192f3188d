#include "edit/deletion_messages.h"

namespace quillet::deletion_messages {
namespace {

std::string text(std::string_view s) {
    return std::string(s);
}

}  // namespace

std::string openFailed(const DeletionTarget& t) {
    return "Unable to open file " + text(t.deviceName);
}

std::string createFailed(const DeletionTarget& t) {
    return "Unable to create file " + text(t.temporaryName);
}

std::string changedSinceFill(const DeletionTarget& t) {
    return text(t.deviceName) +
           " has changed since the list was filled.\n"
           "The list has been read again; select the records to delete once more.";
}

std::string incomplete(const DeletionTarget& t) {
    return text(t.deviceName) +
           " ends before the last of the records it counts.\n"
           "Nothing has been deleted; copy the file from the receiver again.";
}

std::string unreadable(const DeletionTarget& t) {
    return "Unable to read file " + text(t.deviceName) +
           ".\nNothing has been deleted; check the disk and try again.";
}

std::string busy(const DeletionTarget& t) {
    return text(t.deviceName) +
           " is being changed by another deletion.\n"
           "Nothing has been deleted; try again when it has finished.";
}

std::string notLocked(const DeletionTarget& t) {
    return "Unable to lock file " + text(t.deviceName) +
           " against other deletions.\nNothing has been deleted; check the disk and try again.";
}

std::string readOnly(const DeletionTarget& t) {
    return text(t.deviceName) +
           " is read-only.\nNothing has been deleted; make the file writable if records are to "
           "be deleted from it.";
}

std::string tooLarge(const DeletionTarget& t) {
    return text(t.deviceName) +
           " is larger than 256 MiB, far more than a receiver holds.\n"
           "Nothing has been deleted; copy the file from the receiver again.";
}

std::string linkToOwnBackup(const DeletionTarget& t, const std::string& link) {
    return link + " is a link to " + text(t.deviceName) +
           ", a name the deletion needs for its temporary file or backup.\n"
           "Nothing has been deleted; copy the file from the receiver again.";
}

std::string misframedTrack(const DeletionTarget& t, std::size_t track) {
    return text(t.deviceName) + ": the length of track " + std::to_string(track) +
           " does not match its points, so the list may not show the records the file holds.\n"
           "Nothing has been deleted; copy the file from the receiver again.";
}

std::string writeFailed(const DeletionTarget& t) {
    return "Unable to write file " + text(t.temporaryName) +
           ".\nNothing has been deleted; make room on the disk and try again.";
}

std::string accessNotCopied(const DeletionTarget& t) {
    return "Unable to give " + text(t.temporaryName) + " the permissions of " + text(t.deviceName) +
           ".\nNothing has been deleted; check the disk and try again.";
}

std::string backupNotRemoved(const DeletionTarget& t) {
    return "Unable to remove the old backup " + text(t.backupName) +
           ".\nNothing has been deleted; remove or rename " + text(t.backupName) +
           " and try again.";
}

std::string deviceFileNotMoved(const DeletionTarget& t) {
    return "Unable to rename " + text(t.deviceName) + " to " + text(t.backupName) +
           ".\nNothing has been deleted; make sure no other program uses " + text(t.deviceName) +
           " and try again.";
}

std::string newFileNotPlaced(const DeletionTarget& t) {
    return "Unable to rename " + text(t.temporaryName) + " to " + text(t.deviceName) +
           ".\nNothing has been deleted; " + text(t.deviceName) + " is as it was. Try again.";
}

std::string newFileNotPlacedOldInBackup(const DeletionTarget& t) {
    return "Unable to rename " + text(t.temporaryName) + " to " + text(t.deviceName) +
           ".\nNothing has been deleted, but the records are now in " + text(t.backupName) +
           ": rename " + text(t.backupName) + " to " + text(t.deviceName) +
           " before you use them again.";
}

std::string temporaryFileLeft(const DeletionTarget& t) {
    return "\nThe temporary file " + text(t.temporaryName) + " could not be removed; delete it.";
}

std::string historyNotWritten(const DeletionTarget& t, const std::string& folder,
                              const std::string& problem) {
    return "Unable to keep " + text(t.deviceName) + " in the history at " + folder + ": " +
           problem +
           ".\nNothing has been changed. Make room there and try again, or choose not to keep "
           "the file in the history.";
}

std::string noHistoryFolder(const DeletionTarget& t, const std::string& why) {
    return "Unable to keep " + text(t.deviceName) + " in the history: " + why +
           ".\nNothing has been changed; choose not to keep the file in the history to go on "
           "without it.";
}

std::string versionDamaged(const std::string& id, const std::string& storedFile) {
    return "The stored version " + id + " (" + storedFile +
           ") no longer holds the bytes it was stored with.\nNothing has been restored.";
}

std::string versionOfAnotherFile(const std::string& id, const std::string& itsFile,
                                 const DeletionTarget& t) {
    return "The stored version " + id + " is one of " + itsFile + ", not of " + text(t.deviceName) +
           ".\nNothing has been restored.";
}

}  // namespace quillet::deletion_messages
