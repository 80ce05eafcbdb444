#include "manager/frmAdministrar.h"

#include "common/messages.h"
#include "shell/controls.h"
#include "shell/platformservices.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTreeView>

namespace vordane {

namespace {

// The toolkit's own folder, used where it exists.
const QString kStartDirectory = QStringLiteral("e:/mobrel/kit");

// A pattern typed as "*.lex;*.dct" is several patterns; "*.*" means every file.
QStringList toNameFilters(const QString &pattern)
{
    QStringList filters;
    for (QString part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        part = part.trimmed();
        filters.append(part == QLatin1String("*.*") ? QStringLiteral("*") : part);
    }
    if (filters.isEmpty())
        filters.append(QStringLiteral("*"));
    return filters;
}

// Moves a file to the desktop's trash: false where there is none, or where
// it could not go there.
bool moveToTrash(QFile &file)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // The trash lives in the user's data folder; where that folder is missing
    // Qt would file the "trashed" file under the current directory instead.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return false;
#endif
    return file.moveToTrash();
}

} // namespace

frmAdministrar::frmAdministrar(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
    , dirModel_(new QFileSystemModel(this))
    , fileModel_(new QFileSystemModel(this))
{
    setObjectName(QStringLiteral("frmAdministrar"));
    setWindowTitle(QStringLiteral("Administrador de lenguajes"));
    QWidget *client = buildClientArea(this, 7755, 3600);

    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    fileModel_->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    fileModel_->setNameFilterDisables(false); // hide, rather than grey out, what does not match
    fileModel_->setNameFilters(toNameFilters(QStringLiteral("*.*")));

    R = placeControl(new QTreeView(client), "R", 120, 120, 2175, 2565);
    R->setModel(dirModel_);
    R->setHeaderHidden(true);
    for (int column = 1; column < dirModel_->columnCount(); ++column)
        R->hideColumn(column);
    // The list is narrow: a long folder name keeps its width and the list
    // scrolls sideways to show it, rather than cutting it.
    R->header()->setStretchLastSection(false);
    R->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    R->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    U = placeControl(new QComboBox(client), "U", 120, 2760, 2175, 315);
    U->addItems(availableDrives());
    A = placeControl(new QListView(client), "A", 2400, 120, 2295, 3015);
    A->setModel(fileModel_);
    E = placeControl(new QComboBox(client), "E", 120, 3240, 4575, 315);
    keepTypedText(E); // typing applies no pattern: only choosing an item of the list does
    E->addItems({QStringLiteral("*.*"), QStringLiteral("*.dct"), QStringLiteral("*.dic"), QStringLiteral("*.lan"),
                 QStringLiteral("*.lex"), QStringLiteral("*.lng"), QStringLiteral("*.lns"), QStringLiteral("*.rad"),
                 QStringLiteral("*.sc")});
    E->setCurrentIndex(0);
    T = placeControl(new QLineEdit(client), "T", 4800, 120, 2895, 285);
    T->setReadOnly(true);
    N = placeControl(new QLineEdit(client), "N", 4800, 480, 2895, 285);
    cR = placeControl(new QPushButton(QStringLiteral("Renombrar"), client), "cR", 4800, 840, 2895, 375);
    l = placeControl(horizontalLine(client), "l", 4800, 1320, 2880, 15);
    cE = placeControl(new QPushButton(QStringLiteral("Eliminar"), client), "cE", 4800, 1440, 2895, 375);

    connect(dirModel_, &QFileSystemModel::directoryLoaded, this, &frmAdministrar::revealDirectory);
    connect(dirModel_, &QAbstractItemModel::layoutChanged, this, &frmAdministrar::revealDirectory);
    for (QScrollBar *bar : {R->verticalScrollBar(), R->horizontalScrollBar()})
        connect(bar, &QScrollBar::actionTriggered, this, [this] { revealPending_ = false; });
    connect(R, &QTreeView::pressed, this, [this] { revealPending_ = false; });
    connect(U, &QComboBox::activated, this, &frmAdministrar::U_Change);
    connect(R->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmAdministrar::R_Change);
    connect(E, &QComboBox::activated, this, &frmAdministrar::E_Click);
    connect(A, &QListView::clicked, this, &frmAdministrar::A_Click);
    connect(cE, &QPushButton::clicked, this, &frmAdministrar::cE_Click);
    connect(cR, &QPushButton::clicked, this, &frmAdministrar::cR_Click);

    Form_Load();
}

QStringList frmAdministrar::availableDrives()
{
    QStringList drives;
    for (const QFileInfo &drive : QDir::drives())
        drives.append(QDir::toNativeSeparators(drive.absoluteFilePath()));
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::toNativeSeparators(volume.rootPath());
        if (volume.isValid() && volume.isReady() && !drives.contains(root))
            drives.append(root);
    }
    return drives;
}

QString frmAdministrar::startDirectory()
{
    // On systems without drive letters "e:/..." is no absolute path, and is not looked for.
    if (QDir::isAbsolutePath(kStartDirectory) && QFileInfo(kStartDirectory).isDir())
        return kStartDirectory;
    return QDir::homePath();
}

void frmAdministrar::Form_Load()
{
    setCurrentDirectory(startDirectory());
}

void frmAdministrar::setCurrentDirectory(const QString &path)
{
    const QString directory = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    selectDriveOf(directory);
    const QModelIndex index = dirModel_->index(directory);
    R->setCurrentIndex(index); // runs R_Change when the directory differs
    revealPending_ = true;
    revealDirectory();
    if (directory_ != directory) {
        directory_ = directory;
        R_Change();
    }
}

void frmAdministrar::revealDirectory()
{
    // In the middle, with the folders around it; sideways, from the start of its name.
    if (!revealPending_)
        return;
    R->scrollTo(R->currentIndex(), QAbstractItemView::PositionAtCenter);
    QScrollBar *sideways = R->horizontalScrollBar();
    sideways->setValue(sideways->value() + R->visualRect(R->currentIndex()).left() - R->indentation());
}

void frmAdministrar::selectDriveOf(const QString &path)
{
    // The drive is the longest drive root the path starts with.
    int best = -1;
    qsizetype bestLength = -1;
    const QString normalized = QDir::fromNativeSeparators(path);
    for (int i = 0; i < U->count(); ++i) {
        const QString root = QDir::fromNativeSeparators(U->itemText(i));
        if (normalized.startsWith(root, Qt::CaseInsensitive) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0) {
        U->setCurrentIndex(best);
        const QString root = QDir::fromNativeSeparators(U->itemText(best));
        dirModel_->setRootPath(root);
        R->setRootIndex(dirModel_->index(root).parent());
    }
}

void frmAdministrar::U_Change()
{
    const QString drive = U->currentText();
    if (!QFileInfo(drive).isDir()) {
        services_.warning(this, messages::kDriveTitle, messages::driveNotReady(drive));
        selectDriveOf(directory_);
        return;
    }
    setCurrentDirectory(drive);
}

void frmAdministrar::R_Change()
{
    const QModelIndex current = R->currentIndex();
    if (current.isValid())
        directory_ = QDir::cleanPath(dirModel_->filePath(current));
    fileModel_->setRootPath(directory_);
    A->setRootIndex(fileModel_->index(directory_));
}

void frmAdministrar::E_Click()
{
    fileModel_->setNameFilters(toNameFilters(E->currentText()));
}

void frmAdministrar::A_Click(const QModelIndex &index)
{
    const QString name = fileModel_->fileName(index);
    T->setText(name);
    N->setText(name);
}

QString frmAdministrar::filePath(const QString &name) const
{
    // QDir joins without doubling the separator of a root directory.
    return QDir::cleanPath(QDir(directory_).filePath(QDir::fromNativeSeparators(name)));
}

void frmAdministrar::cE_Click()
{
    if (T->text().isEmpty()) {
        services_.warning(this, messages::kDeleteTitle, messages::kNoFileSelected);
        return;
    }
    const QString path = filePath(T->text());
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        services_.warning(this, messages::kDeleteTitle, messages::fileMissing(shown));
        return;
    }
    // No question is asked, so the file goes where a slip can be undone:
    // the desktop's trash, where the system has one.
    QFile file(path);
    if (!moveToTrash(file) && !file.remove()) {
        services_.warning(this, messages::kDeleteTitle, messages::cannotDelete(shown, file.errorString()));
        return;
    }
    // The deleted file is nobody's choice any more, nor is the file that takes
    // its row: a second press finds nothing chosen instead of deleting that one.
    selectNothing();
}

void frmAdministrar::cR_Click()
{
    if (T->text().isEmpty()) {
        services_.warning(this, messages::kRenameTitle, messages::kNoFileSelected);
        return;
    }
    if (N->text().isEmpty()) {
        services_.warning(this, messages::kRenameTitle, messages::kEmptyNewName);
        return;
    }
    const QString from = filePath(T->text());
    const QString to = filePath(N->text());
    if (!QFileInfo(from).isFile()) {
        services_.warning(this, messages::kRenameTitle, messages::fileMissing(QDir::toNativeSeparators(from)));
        return;
    }
    if (QFileInfo::exists(to)) { // a rename never replaces another file
        services_.warning(this, messages::kRenameTitle, messages::nameTaken(QDir::toNativeSeparators(to)));
        return;
    }
    QFile file(from);
    if (!file.rename(to)) {
        services_.warning(this, messages::kRenameTitle,
                          messages::cannotRename(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to),
                                                 file.errorString()));
        return;
    }
    selectFile(N->text());
}

void frmAdministrar::selectNothing()
{
    T->clear();
    N->clear();
    A->clearSelection();
    A->setCurrentIndex(QModelIndex());
}

void frmAdministrar::selectFile(const QString &name)
{
    // The boxes name the file under its new name, and the list highlights it
    // where it lists it, rather than whichever file took its row.
    T->setText(name);
    N->setText(name);
    const QString path = filePath(name);
    const QModelIndex index = QDir::match(fileModel_->nameFilters(), QFileInfo(path).fileName())
        ? fileModel_->index(path)
        : QModelIndex();
    if (index.isValid() && index.parent() == A->rootIndex()) {
        A->setCurrentIndex(index);
        A->scrollTo(index);
    } else {
        A->clearSelection();
        A->setCurrentIndex(QModelIndex());
    }
}

} // namespace vordane
