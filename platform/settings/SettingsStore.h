// The per-user settings store: string values addressed by application, section and key.
//
// Contract
//   - The store is one JSON file, StorePath(): "$XDG_CONFIG_HOME/tavorin/settings.json"
//     (~/.config when XDG_CONFIG_HOME is unset or not absolute), holding
//     { "<application>": { "<section>": { "<key>": "<value>" } } }. Values are kept exactly:
//     any Unicode text, surrounding spaces included.
//   - GetSetting reads the file afresh on every call (another program may edit it between
//     runs). An absent file, key or section reads as absent: the empty text; so do entries of
//     the wrong type, and a file that is not a settings document (not JSON, not an object).
//   - A file that is there but cannot be read is an error, never an empty store: it cannot be
//     opened (no permission, a path through a file), it is not a regular file (a folder, a FIFO,
//     a device; opening one never waits), it is larger than 1 MiB, or reading it fails. GetSetting
//     and SaveSetting then throw errors::AppError(kFileAccess) naming the file and the reason,
//     and nothing is written.
//   - SaveSetting reads the file afresh, replaces or creates the one value and writes the whole
//     file by an atomic replace (temporary file in the same folder, flushed and synced, renamed
//     over the old one, folder synced) before it returns. Killing the process at any instant
//     leaves the old file or the new one, whole. A file that is not a settings document is first
//     kept as DamagedCopyPath() (written the same way, replacing an older copy), then replaced
//     by one holding only the new value; an empty file is simply replaced. Any failure throws
//     errors::AppError(kFileAccess) whose text names the file and the reason; nothing is lost
//     silently.
//   - No lock file is used or honoured: one copy of the game runs at a time, the last write
//     wins, and a stale or garbage "*.lock" file next to the store changes nothing.
#pragma once

#include <QString>

namespace settings {

QString StorePath();

// Where SaveSetting keeps a damaged store before replacing it: StorePath() + ".damaged".
QString DamagedCopyPath();

QString GetSetting(const QString& application, const QString& section, const QString& key);

void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value);

}  // namespace settings
