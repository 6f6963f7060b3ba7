// The open-file dialog: the classic filter in Qt's form, the default extension, a modal QFileDialog.
#include "OpenFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace dialogs {
namespace {

QString ShowQtDialog(const OpenFileRequest& request)
{
    QFileDialog dialog(request.parent, request.title, request.directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);   // descriptions exactly as written
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);   // a name that does not exist is the caller's to refuse
    dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultExt);   // Qt drops a leading "."
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

OpenFileAnswer& Answer()
{
    static OpenFileAnswer answer;
    return answer;
}

QString StartFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

}  // namespace

OpenFileAnswer SetOpenFileAnswer(OpenFileAnswer answer)
{
    std::swap(Answer(), answer);
    return answer;
}

QStringList QtNameFilters(const QString& classicFilter)
{
    const QStringList parts = classicFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            const QString trimmed = pattern.trimmed();
            if (!trimmed.isEmpty())
                patterns.append(trimmed);
        }
        if (parts[i].isEmpty() && patterns.isEmpty())
            continue;
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' '))));
    }
    return filters;
}

QString WithDefaultExt(const QString& path, const QString& defaultExt)
{
    QString ext = defaultExt;
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    const QString fileName = QFileInfo(path).fileName();
    if (ext.isEmpty() || fileName.trimmed().isEmpty() || fileName.contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + ext;
}

namespace {

// True when the file name of `path` is blank once a trailing default extension is taken off.
bool IsBlankName(const QString& path, const QString& defaultExt)
{
    QString name = QFileInfo(path).fileName();
    QString ext = defaultExt;
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    // Qt's dialog adds the default extension to whatever was typed, spaces included.
    if (!ext.isEmpty() && name.endsWith(QLatin1Char('.') + ext))
        name.chop(ext.size() + 1);
    return name.trimmed().isEmpty();
}

}  // namespace

QString OpenFileDialog::ShowOpen(QWidget* parent)
{
    OpenFileRequest request;
    request.parent = parent;
    request.title = m_title;
    request.nameFilters = QtNameFilters(m_filter);
    request.defaultExt = m_defaultExt;
    request.fileName = m_fileName;
    request.directory = !m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir() ? m_lastFolder : StartFolder();

    const OpenFileAnswer answer = Answer();   // a copy: the answer may replace itself
    const QString chosen = answer ? answer(request) : ShowQtDialog(request);
    m_fileName = IsBlankName(chosen, m_defaultExt) ? QString() : WithDefaultExt(chosen, m_defaultExt);
    if (!m_fileName.isEmpty())
        m_lastFolder = QFileInfo(m_fileName).absolutePath();
    return m_fileName;
}

}  // namespace dialogs
