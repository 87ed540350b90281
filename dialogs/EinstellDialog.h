#pragma once

// The settings dialog: every field of the settings record on four tabs, the
// two password groups and the buttons "Standard", "Abbrechen" and "Beenden".
// Created once and hidden between showings. Before each showing the caller
// passes who passed the password prompt; the dialog enables its controls by
// that role and the user rights, and "Beenden" takes over and saves what the
// role allows. Results: 1 after "Beenden", 2 after "Abbrechen" or the close box.

#include "dialogs/OnDemandDialog.h"

#include "settings/EinstellRecord.h"

#include <array>

class GlyphButton;
class QLabel;
class QLineEdit;
class QTabWidget;

class TEinstellForm : public OnDemandDialog {
    Q_OBJECT
public:
    explicit TEinstellForm(QWidget* parent = nullptr);

    void setRoles(bool adminLoggedIn, bool userLoggedIn);

    void RecordToForm();
    // False when a number field held no number; its message has been shown.
    bool FormToRecord();
    void ApplyRights();

    void reject() override;

protected:
    void createControls() override;
    void showEvent(QShowEvent* event) override;

private:
    void createUserTab();
    void createAddressTab();
    void createAddressTab2();
    void createAdminTab();
    void createButtons();
    void addDownloadGroup(QWidget* page, int number, QRect place);
    // Labels are named "Label1", "Label2", ... in the order they are made.
    QLabel* addLabel(QWidget* parent, const QString& text, QPoint place);
    void addPasswordFields(QWidget* group, const std::array<const char*, 3>& names, QLineEdit*& password,
                           QLineEdit*& repeat, GlyphButton*& button);

    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();

    bool AdminLoggedIn = false;
    bool UserLoggedIn = false;
    int labelCount = 0;
    TEinstellRecord shown{};  // the record as the dialog opened with it

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    GlyphButton* BitBtn1 = nullptr;
    GlyphButton* BitBtn2 = nullptr;
    GlyphButton* BitBtn3 = nullptr;
    GlyphButton* BitBtn4 = nullptr;
    GlyphButton* BitBtn5 = nullptr;
};
