// Telling whether another copy of the program already runs for this user login.
//
// Contract
//   SingleInstance(name) takes an exclusive advisory lock (flock) on "<name>.lock" in the user's
//   runtime folder ($XDG_RUNTIME_DIR, else Qt's fallback runtime folder), or on `lockPath` when
//   given. AnotherCopyRuns() is true when another live process holds the lock. The lock is held
//   until the object is destroyed or the process ends, however it ends: the kernel releases it,
//   so a copy that crashed or was killed never blocks the next start. The file's contents mean
//   nothing (an empty or garbage file left behind is fine) and the file is never deleted, so two
//   starts racing each other cannot both win. If the lock file cannot be opened at all, the
//   program is allowed to run (it cannot prove another copy runs).
#pragma once

#include <QString>

class SingleInstance {
public:
    explicit SingleInstance(const QString& name, const QString& lockPath = QString());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool AnotherCopyRuns() const { return m_anotherCopyRuns; }
    const QString& LockPath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
    bool m_anotherCopyRuns = false;
};
