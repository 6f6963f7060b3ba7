// Private configuration folders: the settings store and the component registry read
// XDG_CONFIG_HOME and XDG_CONFIG_DIRS, and no test reads or writes the real ones.
#pragma once

#include <QFile>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

// Points XDG_CONFIG_HOME at `folder`: for this process, or for a child process's `environment`.
inline void UseConfigHome(const QString& folder)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
}
inline void UseConfigHome(QProcessEnvironment& environment, const QString& folder)
{
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder);
}

// A fresh temporary folder that is the configuration for as long as it lives: XDG_CONFIG_HOME is
// the folder, or its sub-folder `user` when one is named; with `system` named, XDG_CONFIG_DIRS
// lists those sub-folders alone, so that no installed entry is read. At the end XDG_CONFIG_HOME
// gets its former value back, unless it was set again meanwhile.
class PrivateConfig : public QTemporaryDir {
public:
    explicit PrivateConfig(const QString& user = {}, const QStringList& system = {})
        : m_former(qgetenv("XDG_CONFIG_HOME")), m_home(QFile::encodeName(user.isEmpty() ? path() : filePath(user)))
    {
        qputenv("XDG_CONFIG_HOME", m_home);
        QStringList folders;
        for (const QString& folder : system)
            folders << filePath(folder);
        if (!folders.isEmpty())
            qputenv("XDG_CONFIG_DIRS", QFile::encodeName(folders.join(QLatin1Char(':'))));
    }
    ~PrivateConfig()
    {
        if (qgetenv("XDG_CONFIG_HOME") == m_home)
            qputenv("XDG_CONFIG_HOME", m_former);
    }

private:
    QByteArray m_former;
    QByteArray m_home;
};
