#include "shell/qtplatformservices.h"

#include "shell/filefilter.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vordane {

namespace {

QString runDialog(QWidget *parent, const FileDialogRequest &request, bool save)
{
    QFileDialog dialog(parent);
    QtPlatformServices::prepareDialog(dialog, request, save);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.constFirst();
}

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

void QtPlatformServices::prepareDialog(QFileDialog &dialog, const FileDialogRequest &request, bool save)
{
    // Qt's own dialog shows the labels exactly as written on every platform.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails
                      | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The name is used exactly as chosen or typed, existing or not.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString());
    const QStringList filters = toQtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.constFirst());
    if (!request.title.isEmpty())
        dialog.setWindowTitle(request.title);
    dialog.selectFile(QString());
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
