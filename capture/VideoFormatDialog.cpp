#include "VideoFormatDialog.h"

#include "Fonts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Two decimals at most, no trailing zeros, a decimal comma.
QString RateText(double rate)
{
    QString text = QString::number(rate, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text.replace(u'.', u',');
}

} // namespace

VideoFormatDialog::VideoFormatDialog(const QList<VideoFormat>& formats, int current, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Formato video"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Scegliere il formato video della WebCam:"), this);
    label->setFont(UiFont(12, true));
    layout->addWidget(label);

    list_ = new QListWidget(this);
    list_->setFont(UiFont(12, false));
    label->setBuddy(list_);
    for (const VideoFormat& format : formats)
        list_->addItem(FormatText(format));
    if (current >= 0 && current < list_->count())
        list_->setCurrentRow(current);
    list_->setMinimumSize(380, 220);
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
}

int VideoFormatDialog::chosenIndex() const
{
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.first());
}

QString VideoFormatDialog::FormatText(const VideoFormat& format)
{
    QStringList parts;
    parts << QString::number(format.width) + QStringLiteral(" × ") + QString::number(format.height);
    const double low = format.minFrameRate > 0.0 ? format.minFrameRate : format.maxFrameRate;
    const double high = std::max(format.minFrameRate, format.maxFrameRate);
    if (high > 0.0) {
        const QString rate = RateText(low) == RateText(high) ? RateText(high)
                                                              : RateText(low) + u'-' + RateText(high);
        parts << rate + QStringLiteral(" fotogrammi/s");
    }
    if (!format.pixelFormat.isEmpty())
        parts << format.pixelFormat;
    return parts.join(QStringLiteral(", "));
}
