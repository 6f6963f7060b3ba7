// Running a probe program as the unprivileged test account, for checks that depend on who runs them.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <unistd.h>

namespace edges {

// Who the checks run as: the account tools/test-user.sh names (it creates it when run as root),
// or nobody else at all when this process is not root (the checks then run as this user).
struct Checker {
    QString account;   // empty: this process's own user
    uid_t uid = ::geteuid();
    gid_t gid = ::getegid();
    QString problem;   // why there is no one to run the checks as; empty when there is
};

inline Checker FindChecker(const QString& testUserScript)
{
    Checker checker;
    if (::geteuid() != 0)
        return checker;
    QProcess script;
    script.start(QStringLiteral("bash"), {testUserScript});
    if (!script.waitForFinished(60000) || script.exitStatus() != QProcess::NormalExit || script.exitCode() != 0) {
        checker.problem = QStringLiteral("no unprivileged account: %1 failed (%2)")
                              .arg(testUserScript, QString::fromLocal8Bit(script.readAllStandardError()).trimmed());
        return checker;
    }
    checker.account = QString::fromLocal8Bit(script.readAllStandardOutput()).trimmed();
    QProcess id;
    id.start(QStringLiteral("id"), {QStringLiteral("-u"), checker.account});
    QProcess group;
    group.start(QStringLiteral("id"), {QStringLiteral("-g"), checker.account});
    if (!id.waitForFinished(10000) || !group.waitForFinished(10000) || id.exitCode() != 0 || group.exitCode() != 0) {
        checker.problem = QStringLiteral("the account %1 has no user id").arg(checker.account);
        return checker;
    }
    checker.uid = id.readAllStandardOutput().trimmed().toUInt();
    checker.gid = group.readAllStandardOutput().trimmed().toUInt();
    return checker;
}

struct ProbeResult {
    bool finished = false;   // false: still running at the deadline, then killed
    int exitCode = -1;
    QString output;          // standard output and error together
};

// Runs `program arguments` as the checker (through setpriv when it is another account), with
// `environment`, and waits at most `deadlineMs`.
inline ProbeResult RunAs(const Checker& checker, const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment, int deadlineMs = 30000)
{
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.setProcessChannelMode(QProcess::MergedChannels);
    if (checker.account.isEmpty()) {
        probe.start(program, arguments);
    } else {
        probe.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=") + checker.account,
                                                           QStringLiteral("--regid=") + checker.account,
                                                           QStringLiteral("--init-groups"), QStringLiteral("--"), program} +
                                                   arguments);
    }
    ProbeResult result;
    result.finished = probe.waitForFinished(deadlineMs);
    if (!result.finished) {
        probe.kill();
        probe.waitForFinished();
    }
    result.exitCode = probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
    result.output = QString::fromLocal8Bit(probe.readAll());
    return result;
}

}  // namespace edges
