#include "shell/dialogfolders.h"

#include "shell/platformservices.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace vordane {

namespace {

const QString kLastFolderKey = QStringLiteral("dialogos/ultimaCarpeta");

// The folder of a file named in a box, if it exists (a box may hold a name
// typed by hand, relative to the current folder).
QString existingFolderOf(const QString &file)
{
    if (file.trimmed().isEmpty())
        return QString();
    const QFileInfo info(QDir::fromNativeSeparators(file));
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    return QFileInfo(folder).isDir() ? folder : QString();
}

} // namespace

DialogFolders::DialogFolders(QString settingsFile)
    : settingsFile_(std::move(settingsFile))
{
}

DialogFolders::~DialogFolders() = default;

std::unique_ptr<QSettings> DialogFolders::settings() const
{
    // Opened when needed: the application's names are set after the
    // services are made.
    return settingsFile_.isEmpty() ? std::make_unique<QSettings>()
                                   : std::make_unique<QSettings>(settingsFile_, QSettings::IniFormat);
}

QString DialogFolders::startFolder(const FileDialogRequest &request)
{
    if (const QString folder = existingFolderOf(request.proposedFile); !folder.isEmpty())
        return folder;
    if (QFileInfo(lastUsed_).isDir())
        return lastUsed_;
    if (const QString folder = existingFolderOf(request.namedFile); !folder.isEmpty())
        return folder;
    if (!read_) {
        remembered_ = settings()->value(kLastFolderKey).toString();
        read_ = true;
    }
    if (!remembered_.isEmpty() && QFileInfo(remembered_).isDir())
        return remembered_;
    return QDir::homePath();
}

void DialogFolders::remember(const QString &chosenFile)
{
    const QString folder = QFileInfo(chosenFile).absolutePath();
    if (chosenFile.isEmpty() || folder == lastUsed_)
        return;
    lastUsed_ = folder;
    settings()->setValue(kLastFolderKey, folder);
}

} // namespace vordane
