#pragma once

// The program's own file chooser for a page's upload field: it lists the
// files of the download folders only, renames, deletes and creates nothing,
// and takes a typed name or path only when it names a file in one of them.

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QTreeWidget;

class UploadChooser : public QDialog {
    Q_OBJECT
public:
    // folders as uploadFolders gives them; multiple lets the page take several files.
    UploadChooser(const QStringList& folders, bool multiple, QWidget* parent = nullptr);

    // The chosen files with their full paths, once the chooser was accepted.
    QStringList chosenFiles() const { return chosen; }

    void accept() override;

private:
    void showSelection();

    QStringList folders;
    QTreeWidget* list;
    QLineEdit* name;
    QStringList chosen;
};
