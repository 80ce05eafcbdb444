#pragma once

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QFrame;
class QLineEdit;
class QListView;
class QPushButton;
class QTreeView;

namespace vordane {

class PlatformServices;

// The file manager: browse by drive, directory and pattern; delete or rename a file.
class frmAdministrar : public QWidget {
    Q_OBJECT
public:
    explicit frmAdministrar(PlatformServices &services, QWidget *parent = nullptr);

    // The drives offered: the file-system roots and mounted volumes.
    static QStringList availableDrives();
    // Where the window starts: the toolkit's folder where it exists, else the home folder.
    static QString startDirectory();

    // Moves the window to a directory (the path of R), as choosing it in R does.
    void setCurrentDirectory(const QString &path);

    QTreeView *R;
    QComboBox *U;
    QListView *A;
    QComboBox *E;
    QLineEdit *T;
    QLineEdit *N;
    QPushButton *cR;
    QFrame *l;
    QPushButton *cE;

private:
    void Form_Load();
    void U_Change();
    void R_Change();
    void E_Click();
    void A_Click(const QModelIndex &index);
    void cE_Click();
    void cR_Click();
    void selectDriveOf(const QString &path);
    void revealDirectory();
    void selectFile(const QString &name);
    void selectNothing();
    QString filePath(const QString &name) const;

    PlatformServices &services_;
    QFileSystemModel *dirModel_;
    QFileSystemModel *fileModel_;
    QString directory_;
    // The directory list still loads and sorts what surrounds the current
    // directory, which moves it: keep it in view until the user takes over.
    bool revealPending_ = false;
};

} // namespace vordane
