#include "dialogs/about.h"

#include "dialogs/DialogParts.h"
#include "resources/Glyphs.h"
#include "widgets/ProgramFont.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {
// Stands in for "Times New Roman"; both have the same widths.
QFont titleFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(32);
    font.setBold(true);
    return font;
}
}  // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : OnDemandDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("Programm-Informationen"));
    setFont(programFont());
    setFixedSize(400, 368);
}

void TAboutForm::createControls()
{
    QGroupBox* GroupBox1 =
        addGroupFrame(this, "GroupBox1", QStringLiteral("© Kavelo-Soft, Musterstadt"), QRect(8, 8, 385, 305));

    addLabel(GroupBox1, "Label8", QStringLiteral("Kavelo-Soft"), QRect(160, 16, 128, 24))->setFont(programFont(19));
    auto* Image1 = addLabel(GroupBox1, "Image1", QString(), QRect(56, 48, 41, 41));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(glyph(QStringLiteral("app")).pixmap(Image1->size()));
    addLabel(GroupBox1, "Label3", QStringLiteral("Kavelo V. 1.x."), QRect(128, 48, 187, 36))->setFont(titleFont());
    addLabel(GroupBox1, "Label1", QStringLiteral("Mini-Browser und -Downloader"), QRect(104, 96, 261, 24))
        ->setFont(programFont(19));

    addLabel(GroupBox1, "Label2", QStringLiteral("Autor:"), QPoint(8, 192));
    addLabel(GroupBox1, "Label4", QStringLiteral("Erika Mustermann"), QPoint(56, 192));
    addLabel(GroupBox1, "Label5", QStringLiteral("Kontakt: "), QPoint(8, 208));
    addLabel(GroupBox1, "Label6", QStringLiteral("Kavelo-Soft"), QPoint(56, 208));
    addLabel(GroupBox1, "Label7", QStringLiteral("Musterweg 12"), QPoint(56, 224));
    addLabel(GroupBox1, "Label9", QStringLiteral("D-12345 Musterstadt"), QPoint(24, 240));
    addLabel(GroupBox1, "Label10", QStringLiteral("Tel.:"), QPoint(192, 208));
    addLabel(GroupBox1, "Label11", QStringLiteral("0123 / 45 67 89"), QPoint(224, 208));
    addLabel(GroupBox1, "Label12", QStringLiteral("FAX:"), QPoint(192, 224));
    addLabel(GroupBox1, "Label13", QStringLiteral("0123 / 45 67 90"), QPoint(224, 224));
    addLabel(GroupBox1, "Label14", QStringLiteral("Web: "), QPoint(8, 264));
    addLabel(GroupBox1, "Label15", QStringLiteral("www.example.com"), QPoint(56, 264));
    addLabel(GroupBox1, "Label16", QStringLiteral("eMail: "), QPoint(8, 280));
    addLabel(GroupBox1, "Label17", QStringLiteral("info@example.com"), QPoint(56, 280));

    QGroupBox* GroupBox2 = addGroupFrame(this, "GroupBox2", QStringLiteral("Versions-Info"), QRect(8, 320, 201, 41));
    addLabel(GroupBox2, "Label20", QStringLiteral("Version 1.3.a    vom: Oktober 2010"), QPoint(8, 16));

    auto* Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(288, 328, 75, 25);
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    connect(Button1, &QPushButton::clicked, this, &TAboutForm::Button1Click);
}

void TAboutForm::reject()
{
    done(2);
}

void TAboutForm::Button1Click()
{
    done(1);
}
