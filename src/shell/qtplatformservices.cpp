#include "shell/qtplatformservices.h"

#include "shell/dialogfolders.h"
#include "shell/filedialogdetails.h"
#include "shell/filefilter.h"
#include "shell/windowfit.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include <algorithm>

namespace vordane {

namespace {

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    QtPlatformServices::makeRoomForTitle(box);
    box.exec();
}

} // namespace

QtPlatformServices::QtPlatformServices(const QString &settingsFile)
    : folders_(std::make_unique<DialogFolders>(settingsFile))
{
}

QtPlatformServices::~QtPlatformServices() = default;

QString QtPlatformServices::runDialog(QWidget *parent, const FileDialogRequest &request, bool save)
{
    QFileDialog dialog(parent);
    prepareDialog(dialog, request, save, folders_->startFolder(request));
    fitWindow(&dialog, availableScreenArea(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString chosen = chosenFile(dialog, request);
    folders_->remember(chosen);
    return chosen;
}

void QtPlatformServices::prepareDialog(QFileDialog &dialog, const FileDialogRequest &request, bool save,
                                       const QString &folder)
{
    // Qt's own dialog shows the labels exactly as written on every platform.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails
                      | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The name is used as chosen or typed, existing or not; chosenFile adds
    // the extension of the filter chosen last, which a fixed default suffix
    // could not follow.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString());
    const QStringList filters = toQtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.constFirst());
    showDetailsInSpanish(dialog);
    if (!request.title.isEmpty())
        dialog.setWindowTitle(request.title);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.selectFile(request.proposedFile.isEmpty() ? QString() : QFileInfo(request.proposedFile).fileName());
}

QString QtPlatformServices::chosenFile(const QFileDialog &dialog, const FileDialogRequest &request)
{
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return QString();
    const QString path = files.constFirst();
    if (dialog.acceptMode() != QFileDialog::AcceptSave)
        return path;
    // Without an extension the file would be hidden by the very filter it was saved under.
    const QString selected = dialog.selectedNameFilter();
    const QStringList shown = dialog.nameFilters();
    for (int i = 0; i < int(shown.size()); ++i) {
        // With the patterns hidden, Qt names the chosen filter by its label alone.
        if (selected == shown.at(i) || selected == request.filter.section(QLatin1Char('|'), 2 * i, 2 * i))
            return withExtension(path, filterExtension(request.filter, i));
    }
    return path;
}

void QtPlatformServices::makeRoomForTitle(QMessageBox &box)
{
    // A window manager draws the title in its own, larger and bold, font
    // beside an icon and its buttons: a box as narrow as a short text showed
    // "Expo… ción". Qt's own allowance assumes a small title bar font.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    font.setPointSizeF(std::max(font.pointSizeF(), 11.0));
    constexpr int kTitleBarChrome = 150; // icon, three buttons and margins
    const int needed = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kTitleBarChrome;
    // The box sizes itself from its layout's minimum width, so the room goes there.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
}

QString QtPlatformServices::getOpenFileName(QWidget *parent, const FileDialogRequest &request)
{
    return runDialog(parent, request, false);
}

QString QtPlatformServices::getSaveFileName(QWidget *parent, const FileDialogRequest &request)
{
    return runDialog(parent, request, true);
}

void QtPlatformServices::information(QWidget *parent, const QString &title, const QString &text)
{
    showMessage(parent, QMessageBox::Information, title, text);
}

void QtPlatformServices::warning(QWidget *parent, const QString &title, const QString &text)
{
    showMessage(parent, QMessageBox::Warning, title, text);
}

void QtPlatformServices::setClipboardText(const QString &text)
{
    QApplication::clipboard()->setText(text);
}

} // namespace vordane

namespace vordane {

void QtPlatformServices::showModal(QDialog *dialog)
{
    fitWindow(dialog, availableScreenArea(dialog));
    dialog->exec();
}

SaveChoice QtPlatformServices::askToSave(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.button(QMessageBox::Save)->setText(QStringLiteral("Guardar"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("No guardar"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancelar"));
    makeRoomForTitle(box);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

} // namespace vordane

namespace vordane {

ListChoice QtPlatformServices::askReplaceOrAppend(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton *replace = box.addButton(QStringLiteral("Sustituir"), QMessageBox::AcceptRole);
    QPushButton *append = box.addButton(QStringLiteral("Añadir"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    box.setDefaultButton(append);
    box.setEscapeButton(cancel);
    makeRoomForTitle(box);
    box.exec();
    if (box.clickedButton() == replace)
        return ListChoice::Replace;
    if (box.clickedButton() == append)
        return ListChoice::Append;
    return ListChoice::Cancel;
}

} // namespace vordane
