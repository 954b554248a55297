#include "SaneSourceDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

SaneSourceDialog::SaneSourceDialog(const QList<SaneDeviceEntry>& devices, const QString& current,
                                   QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Seleziona scanner"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Scegliere lo scanner da usare per le acquisizioni:"), this);
    layout->addWidget(label);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("devices"));
    label->setBuddy(list_);
    for (const SaneDeviceEntry& device : devices) {
        auto* item = new QListWidgetItem(device.caption(), list_);
        item->setData(Qt::UserRole, device.name);
        if (device.name == current)
            list_->setCurrentItem(item);
    }
    if (!list_->currentItem() && list_->count() > 0)
        list_->setCurrentRow(0);
    list_->setMinimumWidth(420);
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
}

QString SaneSourceDialog::chosenName() const
{
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}
