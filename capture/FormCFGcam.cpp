#include "FormCFGcam.h"

#include "Fonts.h"
#include "SettingsStore.h"
#include "LayoutButtons.h"
#include "WindowFace.h"
#include "chameleonButton.h"
#include "modWebCam.h"

#include <QListWidget>

FormCFGcam::FormCFGcam(const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , services_(services)
{
    setFixedSize(ClientWidth, ClientHeight);
    setWindowTitle(QStringLiteral("Selezionare la WebCam"));
    setModal(true);
    UseWindowFace(*this);

    CreateControls();
    Form_Load();
}

void FormCFGcam::CreateControls()
{
    List1 = new QListWidget(this);
    List1->setGeometry(8, 8, 513, 80);
    List1->setFont(UiFont(12, true));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);

    const LayoutButtons buttons(this, QStringLiteral(":/layouts/FormCFGcam.layout"));
    OkP = buttons.button(u"OkP");
    EsciP = buttons.button(u"EsciP");
    OkP->setToolTip(QStringLiteral("Usa la WebCam selezionata"));
    EsciP->setToolTip(QStringLiteral("Esci senza cambiare"));

    QWidget::setTabOrder(OkP, EsciP);
    QWidget::setTabOrder(EsciP, List1);
    OkP->setFocus();

    connect(OkP, &chameleonButton::Click, this, &FormCFGcam::OkP_Click);
    connect(EsciP, &chameleonButton::Click, this, &FormCFGcam::EsciP_Click);
    // A double click on an entry chooses it as OK would.
    connect(List1, &QListWidget::itemDoubleClicked, this, &FormCFGcam::OkP_Click);
}

void FormCFGcam::Form_Load()
{
    modWebCam::ListCaptureDrivers(services_.camera, *List1);
    const QString remembered = services_.settings.read(QStringLiteral("WebCam"));
    if (remembered.isEmpty())
        return;
    for (int row = 0; row < List1->count(); ++row) {
        if (List1->item(row)->text() == remembered) {
            List1->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            return;
        }
    }
}

void FormCFGcam::OkP_Click()
{
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    const QString name = selected.isEmpty() ? QString() : selected.first()->text();
    if (name.isEmpty())
        return;
    services_.settings.write(QStringLiteral("WebCam"), name);
    accept();
}

void FormCFGcam::EsciP_Click()
{
    reject();
}
