#include "platform/web/UploadChooser.h"

#include "platform/host/Messages.h"
#include "platform/web/PageRules.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kPathRole = Qt::UserRole;
}

UploadChooser::UploadChooser(const QStringList& uploadFolders, bool multiple, QWidget* parent)
    : QDialog(parent)
    , folders(uploadFolders)
    , list(new QTreeWidget)
    , name(new QLineEdit)
{
    setObjectName(QStringLiteral("UploadChooser"));
    setWindowTitle(QStringLiteral("Datei zum Hochladen auswählen"));
    list->setObjectName(QStringLiteral("Files"));
    name->setObjectName(QStringLiteral("FileName"));
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    for (const QString& folder : folders) {
        auto* folderItem = new QTreeWidgetItem(list, {QDir::toNativeSeparators(folder)});
        folderItem->setFlags(Qt::ItemIsEnabled);
        QFont bold = folderItem->font(0);
        bold.setBold(true);
        folderItem->setFont(0, bold);
        for (const QString& file : uploadableFiles(folder, folders)) {
            auto* fileItem = new QTreeWidgetItem(folderItem, {withoutDirectionMarks(QFileInfo(file).fileName())});
            fileItem->setData(0, kPathRole, file);
        }
    }
    list->expandAll();

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Öffnen"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    auto* nameRow = new QFormLayout;
    nameRow->addRow(QStringLiteral("Dateiname:"), name);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Hochgeladen werden können nur Dateien aus den Download-Ordnern:")));
    layout->addWidget(list);
    layout->addLayout(nameRow);
    layout->addWidget(buttons);
    resize(520, 360);

    connect(buttons, &QDialogButtonBox::accepted, this, &UploadChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &UploadChooser::reject);
    connect(list, &QTreeWidget::itemSelectionChanged, this, &UploadChooser::showSelection);
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this](const QTreeWidgetItem* item) {
        if (item->data(0, kPathRole).isValid())
            accept();
    });
    // A typed name replaces the picked files.
    connect(name, &QLineEdit::textEdited, list, &QTreeWidget::clearSelection);
}

void UploadChooser::showSelection()
{
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.size() == 1)
        name->setText(QDir::toNativeSeparators(selected.first()->data(0, kPathRole).toString()));
    else if (!selected.isEmpty())
        name->setText(QStringLiteral("%1 Dateien ausgewählt").arg(selected.size()));
}

void UploadChooser::accept()
{
    QStringList files;
    for (const QTreeWidgetItem* item : list->selectedItems())
        files.append(uploadableFile(item->data(0, kPathRole).toString(), folders));
    if (files.isEmpty() && !name->text().trimmed().isEmpty())
        files.append(uploadableFile(QDir::fromNativeSeparators(name->text().trimmed()), folders));
    if (files.isEmpty())
        return;
    if (files.contains(QString())) {
        showMessage(MessageKind::Warning, QStringLiteral("„%1“ ist keine Datei in einem der Download-Ordner.\r"
                                                         "Hochgeladen werden können nur Dateien aus diesen Ordnern.")
                                              .arg(name->text().trimmed()));
        return;
    }
    chosen = files;
    QDialog::accept();
}
