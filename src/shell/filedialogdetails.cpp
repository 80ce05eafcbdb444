#include "shell/filedialogdetails.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTreeView>

#include <algorithm>

namespace vordane {

namespace {

enum Column { Name, Size, Type, Modified };

QString typeName(const QFileInfo &info)
{
    if (info.isDir())
        return QStringLiteral("Carpeta de archivos");
    const QString suffix = info.suffix();
    if (suffix.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Documento de texto");
    // As a file browser names a type it does not know.
    return suffix.isEmpty() ? QStringLiteral("Archivo") : QStringLiteral("Archivo ") + suffix.toUpper();
}

// Qt's file model writes types from the system's file-type names and dates
// and sizes in the system's language.
class SpanishFileDetails final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() == Name)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        const QLocale spanish(QLocale::Spanish, QLocale::Spain);
        switch (index.column()) {
        case Size:
            return info.isDir() ? QString()
                                : spanish.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
        case Type:
            return typeName(info);
        case Modified:
            return spanish.toString(files->lastModified(source), QStringLiteral("dd/MM/yyyy H:mm"));
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }
};

} // namespace

void showDetailsInSpanish(QFileDialog &dialog)
{
    dialog.setProxyModel(new SpanishFileDetails(&dialog));
    const QFontMetrics metrics(dialog.font());
    constexpr int kPadding = 24; // the cell's margins and the sort arrow
    const auto widest = [&metrics](std::initializer_list<const char *> texts) {
        int width = 0;
        for (const char *text : texts)
            width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(text)));
        return width + kPadding;
    };
    if (auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = view->header();
        header->resizeSection(Name, widest({"nombre de archivo bastante largo"}));
        header->resizeSection(Size, widest({"1.023,9 KB", "Tamaño"}));
        header->resizeSection(Type, widest({"Carpeta de archivos", "Tipo"}));
        header->resizeSection(Modified, widest({"30/12/2026 23:59", "Última modificación"}));
    }
    // The longest filter label shows whole.
    if (auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))) {
        int text = 0;
        for (int i = 0; i < types->count(); ++i)
            text = std::max(text, types->fontMetrics().horizontalAdvance(types->itemText(i)));
        QStyleOptionComboBox option;
        option.initFrom(types);
        types->setMinimumWidth(
            types->style()->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, 0), types).width());
    }
}

} // namespace vordane
