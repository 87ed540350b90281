#include "dialogs/about.h"

#include "dialogs/DialogParts.h"
#include "resources/Glyphs.h"
#include "widgets/ProgramFont.h"

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
    using Kind = AboutControl::Kind;
    for (const AboutControl& control : kAboutControls) {
        QWidget* parent = control.parent ? findChild<QWidget*>(QLatin1String(control.parent)) : this;
        const QString text = QString::fromUtf8(control.text);
        switch (control.kind) {
        case Kind::Frame:
            addGroupFrame(parent, control.name, text, control.place);
            break;
        case Kind::Label:
            addLabel(parent, control.name, text, control.place);
            break;
        case Kind::LargeLabel:
            addLabel(parent, control.name, text, control.place)->setFont(programFont(19));
            break;
        case Kind::Title:
            addLabel(parent, control.name, text, control.place)->setFont(titleFont());
            break;
        case Kind::Picture: {
            QLabel* picture = addLabel(parent, control.name, text, control.place);
            picture->setAlignment(Qt::AlignCenter);
            picture->setPixmap(glyph(QStringLiteral("app")).pixmap(picture->size()));
            break;
        }
        case Kind::Button: {
            auto* button = new QPushButton(text, parent);
            button->setObjectName(QLatin1String(control.name));
            button->setGeometry(control.place);
            QFont bold = button->font();
            bold.setBold(true);
            button->setFont(bold);
            connect(button, &QPushButton::clicked, this, &TAboutForm::Button1Click);
            break;
        }
        }
    }
}

void TAboutForm::reject()
{
    done(2);
}

void TAboutForm::Button1Click()
{
    done(1);
}
