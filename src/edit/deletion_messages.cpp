// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/deletion_messages.h"

#include "text/translation.h"

namespace quillet::deletion_messages {

std::string openFailed(const DeletionTarget& t) {
    return fillIn(translate("Unable to open file {1}"), {t.deviceName});
}

std::string createFailed(const DeletionTarget& t) {
    return fillIn(translate("Unable to create file {1}"), {t.temporaryName});
}

std::string changedSinceFill(const DeletionTarget& t) {
    return fillIn(translate("{1} has changed since the list was filled.\n"
                            "The list has been read again; select the records to delete once "
                            "more."),
                  {t.deviceName});
}

std::string incomplete(const DeletionTarget& t) {
    return fillIn(translate("{1} ends before the last of the records it counts.\n"
                            "Nothing has been deleted; copy the file from the receiver again."),
                  {t.deviceName});
}

std::string unreadable(const DeletionTarget& t) {
    return fillIn(translate("Unable to read file {1}.\n"
                            "Nothing has been deleted; check the disk and try again."),
                  {t.deviceName});
}

std::string busy(const DeletionTarget& t) {
    return fillIn(translate("{1} is being changed by another deletion.\n"
                            "Nothing has been deleted; try again when it has finished."),
                  {t.deviceName});
}

std::string notLocked(const DeletionTarget& t) {
    return fillIn(translate("Unable to lock file {1} against other deletions.\n"
                            "Nothing has been deleted; check the disk and try again."),
                  {t.deviceName});
}

std::string readOnly(const DeletionTarget& t) {
    return fillIn(translate("{1} is read-only.\nNothing has been deleted; make the file writable "
                            "if records are to be deleted from it."),
                  {t.deviceName});
}

std::string tooLarge(const DeletionTarget& t) {
    return fillIn(translate("{1} is larger than 256 MiB, far more than a receiver holds.\n"
                            "Nothing has been deleted; copy the file from the receiver again."),
                  {t.deviceName});
}

std::string linkToOwnBackup(const DeletionTarget& t, const std::string& link) {
    return fillIn(translate("{1} is a link to {2}, a name the deletion needs for its temporary "
                            "file or backup.\n"
                            "Nothing has been deleted; copy the file from the receiver again."),
                  {link, t.deviceName});
}

std::string misframedTrack(const DeletionTarget& t, std::size_t track) {
    return fillIn(translate("{1}: the length of track {2} does not match its points, so the list "
                            "may not show the records the file holds.\n"
                            "Nothing has been deleted; copy the file from the receiver again."),
                  {t.deviceName, std::to_string(track)});
}

std::string writeFailed(const DeletionTarget& t) {
    return fillIn(translate("Unable to write file {1}.\n"
                            "Nothing has been deleted; make room on the disk and try again."),
                  {t.temporaryName});
}

std::string accessNotCopied(const DeletionTarget& t) {
    return fillIn(translate("Unable to give {1} the permissions of {2}.\n"
                            "Nothing has been deleted; check the disk and try again."),
                  {t.temporaryName, t.deviceName});
}

std::string backupNotRemoved(const DeletionTarget& t) {
    return fillIn(translate("Unable to remove the old backup {1}.\n"
                            "Nothing has been deleted; remove or rename {1} and try again."),
                  {t.backupName});
}

std::string deviceFileNotMoved(const DeletionTarget& t) {
    return fillIn(translate("Unable to rename {1} to {2}.\n"
                            "Nothing has been deleted; make sure no other program uses {1} and "
                            "try again."),
                  {t.deviceName, t.backupName});
}

std::string newFileNotPlaced(const DeletionTarget& t) {
    return fillIn(translate("Unable to rename {1} to {2}.\n"
                            "Nothing has been deleted; {2} is as it was. Try again."),
                  {t.temporaryName, t.deviceName});
}

std::string newFileNotPlacedOldInBackup(const DeletionTarget& t) {
    return fillIn(translate("Unable to rename {1} to {2}.\n"
                            "Nothing has been deleted, but the records are now in {3}: rename {3} "
                            "to {2} before you use them again."),
                  {t.temporaryName, t.deviceName, t.backupName});
}

std::string temporaryFileLeft(const DeletionTarget& t) {
    return fillIn(translate("\nThe temporary file {1} could not be removed; delete it."),
                  {t.temporaryName});
}

std::string historyNotWritten(const DeletionTarget& t, const std::string& folder,
                              const std::string& problem) {
    return fillIn(translate("Unable to keep {1} in the history at {2}: {3}.\n"
                            "Nothing has been changed. Make room there and try again, or choose "
                            "not to keep the file in the history."),
                  {t.deviceName, folder, problem});
}

std::string noHistoryFolder(const DeletionTarget& t, const std::string& why) {
    return fillIn(translate("Unable to keep {1} in the history: {2}.\n"
                            "Nothing has been changed; choose not to keep the file in the history "
                            "to go on without it."),
                  {t.deviceName, why});
}

std::string versionDamaged(const std::string& id, const std::string& storedFile) {
    return fillIn(translate("The stored version {1} ({2}) no longer holds the bytes it was stored "
                            "with.\nNothing has been restored."),
                  {id, storedFile});
}

std::string versionOfAnotherFile(const std::string& id, const std::string& itsFile,
                                 const DeletionTarget& t) {
    return fillIn(translate("The stored version {1} is one of {2}, not of {3}.\n"
                            "Nothing has been restored."),
                  {id, itsFile, t.deviceName});
}

}  // namespace quillet::deletion_messages
