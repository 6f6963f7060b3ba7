// Private configuration folders: the settings store and the component registry read
// XDG_CONFIG_HOME and XDG_CONFIG_DIRS, and no test reads or writes the real ones.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>

// Points XDG_CONFIG_HOME at `folder`: for this process, or for a child process's `environment`.
inline void UseConfigHome(const QString& folder)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
}
inline void UseConfigHome(QProcessEnvironment& environment, const QString& folder)
{
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder);
}

// A fresh temporary folder that is this process's configuration for as long as the object lives:
// XDG_CONFIG_HOME is the folder itself, or its sub-folder `user` when one is named; with
// `system` named, XDG_CONFIG_DIRS lists those sub-folders alone, so that no installed entry is
// read. At the end each variable this object still holds gets its former value back.
class PrivateConfig {
public:
    explicit PrivateConfig(const QString& user = {}, const QStringList& system = {})
        : m_home("XDG_CONFIG_HOME", QFile::encodeName(user.isEmpty() ? m_dir.path() : m_dir.filePath(user)))
    {
        QStringList folders;
        for (const QString& folder : system)
            folders << m_dir.filePath(folder);
        if (!folders.isEmpty())
            m_dirs = Variable("XDG_CONFIG_DIRS", QFile::encodeName(folders.join(QLatin1Char(':'))));
    }
    PrivateConfig(const PrivateConfig&) = delete;
    PrivateConfig& operator=(const PrivateConfig&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString errorString() const { return m_dir.errorString(); }
    // The temporary folder, and a path inside it.
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // XDG_CONFIG_HOME as set.
    QString configHome() const { return QFile::decodeName(m_home.value); }

private:
    struct Variable {
        Variable() = default;
        Variable(const char* name, const QByteArray& set)
            : name(name), value(set), wasSet(qEnvironmentVariableIsSet(name)), former(qgetenv(name))
        {
            qputenv(name, value);
        }
        Variable& operator=(Variable&& other) noexcept
        {
            std::swap(name, other.name);
            std::swap(value, other.value);
            std::swap(wasSet, other.wasSet);
            std::swap(former, other.former);
            return *this;
        }
        ~Variable()
        {
            if (!name || qgetenv(name) != value)
                return;   // unset, or set again since
            if (wasSet)
                qputenv(name, former);
            else
                qunsetenv(name);
        }
        const char* name = nullptr;
        QByteArray value;
        bool wasSet = false;
        QByteArray former;
    };

    QTemporaryDir m_dir;
    Variable m_home;
    Variable m_dirs;
};
