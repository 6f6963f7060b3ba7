// The component registry: keys and string values in per-user and system JSON files, laid out like the classic class registry.
//
// Contract
//   File: registry::userFile(), i.e. $XDG_CONFIG_HOME/tavorin/components.json, or
//   ~/.config/tavorin/components.json when XDG_CONFIG_HOME is unset, empty or relative.
//   System files: registry::systemFiles(), <dir>/tavorin/components.json for each absolute dir
//   of $XDG_CONFIG_DIRS in its order, or /etc/xdg/tavorin/components.json when that variable is
//   unset or empty. An installed game ships its entry there; the program only ever reads them.
//   Format: one JSON object. A member whose value is an object is a key; a member whose value
//   is a string is a named value of the key it sits in; the name "" is the key's default value.
//   So CLSID\{id}\InprocServer32 (default) is root["CLSID"]["{id}"]["InprocServer32"][""].
//   Key and value names match case-insensitively; written names keep their case.
//
//   Writers (setValues, removeValues) take the lock file <file>.lock (QLockFile), re-read the
//   file, change only the values they name and replace the file atomically (QSaveFile), so
//   concurrent writers never lose each other's values and readers never see a half-written
//   file. A file that cannot be read or parsed is never overwritten: the write fails with
//   hr::kRegistryUnreadable or hr::kRegistryDamaged and the file stays as it is.
//   removeValues drops keys left empty, and the file itself once nothing is left in it, so
//   writing a set of values and removing the same set leaves the file as it was.
//
//   Readers (readValue) consult lookupFiles() in order, the first file holding the value wins:
//   the user's file, then the system files, so a per-user registration (a developer build, a
//   re-skinned Qel) overrides the installed one. A reader may name values to pass over (for
//   component creation: a library path whose file is gone): such a value gives way to the same
//   value in a later file, and is the result only when no later file holds a value it keeps.
//   A file that cannot be read or parsed stops the lookup with its error rather than being skipped. A parsed file is kept in memory until its
//   identity on disk (inode, size, change time) changes, so repeated lookups cost a stat() each.
//
//   All functions are thread-safe, never throw, and on failure set *reason (when given) to a
//   sentence naming the file and what went wrong.
#pragma once

#include "Unknown.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace component::registry {

struct Value {
    QStringList key;  // path of key names from the root, e.g. {"CLSID", "{...}", "InprocServer32"}
    QString name;     // "" for the key's default value
    QString data;
};

QString userFile();
QStringList systemFiles();
// userFile() then systemFiles(), each file once.
QStringList lookupFiles();

// Adds or replaces each value in `file`, creating its keys (and the file and folder) as needed.
HResult setValues(const QString& file, const QList<Value>& values, QString* reason = nullptr);
// Removes each named value from `file` (their data is not compared) and prunes emptied keys.
HResult removeValues(const QString& file, const QList<Value>& values, QString* reason = nullptr);
// The value from the first of lookupFiles() that has it and that `passOver` (when given) does not
// pass over, else the first value found; hr::kRegistryKeyMissing when no file has it.
HResult readValue(const QStringList& key, const QString& name, QString* data, QString* reason = nullptr,
                  const std::function<bool(const QString&)>& passOver = {});

}  // namespace component::registry
