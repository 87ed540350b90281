#include "dialogs/OnDemandDialog.h"

void OnDemandDialog::setVisible(bool visible)
{
    if (visible)
        ensureControls();
    QDialog::setVisible(visible);
}

void OnDemandDialog::ensureControls()
{
    if (controlsBuilt)
        return;
    controlsBuilt = true;
    createControls();
}
