#include "SaneScanDialog.h"

#include "OperatorDialogs.h"
#include "SaneChoices.h"
#include "SaneScanJob.h"

#include <sane/saneopts.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const char* const AreaOptionNames[4] = {SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_TL_Y,
                                        SANE_NAME_SCAN_BR_X, SANE_NAME_SCAN_BR_Y};

// Selects the item whose data is value, adding it when the list lacks it:
// the combo always shows what the device really holds.
void SelectData(QComboBox* combo, const QVariant& value, const QString& caption)
{
    int index = combo->findData(value);
    if (index < 0 && value.typeId() == QMetaType::Double) {
        // A fixed-point word read back may miss the listed value by a hair.
        for (int i = 0; i < combo->count() && index < 0; ++i)
            if (std::abs(combo->itemData(i).toDouble() - value.toDouble()) < 1e-3)
                index = i;
    }
    if (index < 0) {
        combo->addItem(caption, value);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

} // namespace

SaneScanDialog::SaneScanDialog(SaneDevice& device, const SaneDeviceEntry& entry,
                               OperatorDialogs& dialogs, QWidget* parent)
    : QDialog(parent)
    , device_(device)
    , dialogs_(dialogs)
{
    setWindowTitle(QStringLiteral("Acquisizione da scanner"));
    setModal(true);

    options_.mode = device_.find(SANE_NAME_SCAN_MODE);
    options_.source = device_.find(SANE_NAME_SCAN_SOURCE);
    options_.resolution = device_.find(SANE_NAME_SCAN_RESOLUTION);
    for (int i = 0; i < 4; ++i)
        options_.area[i] = device_.find(AreaOptionNames[i]);

    buildWidgets(entry);
    preselect();
    loadFromDevice();

    progressTimer_.setInterval(100);
    connect(&progressTimer_, &QTimer::timeout, this, &SaneScanDialog::showProgress);
}

SaneScanDialog::~SaneScanDialog()
{
    if (thread_) {
        job_->requestCancel();
        thread_->wait();
    }
}

void SaneScanDialog::buildWidgets(const SaneDeviceEntry& entry)
{
    auto* layout = new QVBoxLayout(this);
    auto* deviceLabel = new QLabel(QStringLiteral("Scanner: ") + entry.caption(), this);
    deviceLabel->setObjectName(QStringLiteral("device"));
    layout->addWidget(deviceLabel);

    form_ = new QFormLayout;
    modeCombo_ = new QComboBox(this);
    modeCombo_->setObjectName(QStringLiteral("mode"));
    sourceCombo_ = new QComboBox(this);
    sourceCombo_->setObjectName(QStringLiteral("source"));
    resolutionCombo_ = new QComboBox(this);
    resolutionCombo_->setObjectName(QStringLiteral("resolution"));
    form_->addRow(QStringLiteral("&Modalità:"), modeCombo_);
    form_->addRow(QStringLiteral("&Origine:"), sourceCombo_);
    form_->addRow(QStringLiteral("&Risoluzione:"), resolutionCombo_);
    layout->addLayout(form_);

    areaBox_ = new QGroupBox(QStringLiteral("Area di scansione"), this);
    auto* grid = new QGridLayout(areaBox_);
    const QString captions[4] = {QStringLiteral("&Sinistra:"), QStringLiteral("A&lto:"),
                                 QStringLiteral("&Destra:"), QStringLiteral("&Basso:")};
    for (int i = 0; i < 4; ++i) {
        auto* spin = new QDoubleSpinBox(areaBox_);
        spin->setObjectName(QString::fromLatin1(AreaOptionNames[i]));
        // Only a finished value goes to the device, not every keystroke.
        spin->setKeyboardTracking(false);
        auto* label = new QLabel(captions[i], areaBox_);
        label->setBuddy(spin);
        grid->addWidget(label, i / 2, (i % 2) * 2);
        grid->addWidget(spin, i / 2, (i % 2) * 2 + 1);
        areaSpins_[i] = spin;
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this, i] { setAreaOption(i); });
    }
    fullAreaButton_ = new QPushButton(QStringLiteral("Area &massima"), areaBox_);
    grid->addWidget(fullAreaButton_, 2, 0, 1, 4, Qt::AlignRight);
    layout->addWidget(areaBox_);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    progress_->setEnabled(false);
    layout->addWidget(progress_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    layout->addWidget(status_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    scanButton_ = new QPushButton(QStringLiteral("&Acquisisci"), this);
    scanButton_->setObjectName(QStringLiteral("scan"));
    scanButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("A&nnulla"), this);
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    buttons->addWidget(scanButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);

    connect(modeCombo_, &QComboBox::activated, this, [this] { setTextOption(options_.mode, modeCombo_); });
    connect(sourceCombo_, &QComboBox::activated, this,
            [this] { setTextOption(options_.source, sourceCombo_); });
    connect(resolutionCombo_, &QComboBox::activated, this, &SaneScanDialog::setResolution);
    connect(fullAreaButton_, &QPushButton::clicked, this, &SaneScanDialog::setFullArea);
    connect(scanButton_, &QPushButton::clicked, this, &SaneScanDialog::startScan);
    connect(cancelButton_, &QPushButton::clicked, this, &SaneScanDialog::reject);
}

void SaneScanDialog::preselect()
{
    // Mode first: it may change which resolutions the device offers.
    if (const SANE_Option_Descriptor* d = device_.usable(options_.mode)) {
        const QString current = device_.text(options_.mode).value_or(QString());
        const QString wanted = SaneChoices::PreferredMode(SaneChoices::StringChoices(*d), current);
        if (wanted != current)
            device_.setText(options_.mode, wanted);
    }
    if (const SANE_Option_Descriptor* d = device_.usable(options_.resolution)) {
        const SaneChoices::NumericConstraint constraint = SaneChoices::ReadConstraint(*d);
        device_.setNumber(options_.resolution,
                          SaneChoices::NearestAllowed(constraint, SaneChoices::PreferredResolution));
    }
}

void SaneScanDialog::loadFromDevice()
{
    loadStringChoice(options_.mode, modeCombo_, &SaneChoices::ModeCaption);
    loadStringChoice(options_.source, sourceCombo_, &SaneChoices::SourceCaption);
    loadResolution();
    loadArea();
}

void SaneScanDialog::loadStringChoice(int option, QComboBox* combo, QString (*caption)(const QString&))
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    const SANE_Option_Descriptor* d = device_.usable(option);
    const QStringList values = d ? SaneChoices::StringChoices(*d) : QStringList();
    const std::optional<QString> current = device_.text(option);
    form_->setRowVisible(combo, !values.isEmpty() && current.has_value());
    if (values.isEmpty() || !current)
        return;
    for (const QString& value : values)
        combo->addItem(caption(value), value);
    SelectData(combo, *current, caption(*current));
}

void SaneScanDialog::loadResolution()
{
    const QSignalBlocker blocker(resolutionCombo_);
    resolutionCombo_->clear();
    const SANE_Option_Descriptor* d = device_.usable(options_.resolution);
    const std::optional<double> current = device_.number(options_.resolution);
    form_->setRowVisible(resolutionCombo_, d && current);
    if (!d || !current)
        return;
    for (const double dpi : SaneChoices::ResolutionChoices(SaneChoices::ReadConstraint(*d)))
        resolutionCombo_->addItem(SaneChoices::ResolutionCaption(dpi), dpi);
    SelectData(resolutionCombo_, *current, SaneChoices::ResolutionCaption(*current));
}

void SaneScanDialog::loadArea()
{
    bool any = false;
    for (int i = 0; i < 4; ++i) {
        QDoubleSpinBox* spin = areaSpins_[i];
        const QSignalBlocker blocker(spin);
        const SANE_Option_Descriptor* d = device_.usable(options_.area[i]);
        const std::optional<double> current = device_.number(options_.area[i]);
        spin->setEnabled(d && current);
        if (!d || !current)
            continue;
        any = true;
        const SaneChoices::NumericConstraint c = SaneChoices::ReadConstraint(*d);
        spin->setDecimals(d->type == SANE_TYPE_FIXED ? 1 : 0);
        spin->setSuffix(SaneChoices::UnitSuffix(d->unit));
        if (c.kind == SaneChoices::NumericConstraint::Unconstrained)
            spin->setRange(0.0, 100000.0);
        else
            spin->setRange(SaneChoices::LowestAllowed(c), SaneChoices::HighestAllowed(c));
        spin->setSingleStep(c.kind == SaneChoices::NumericConstraint::Range && c.quant > 0.0 ? c.quant : 1.0);
        spin->setValue(*current);
    }
    areaBox_->setVisible(any);
}

void SaneScanDialog::setTextOption(int option, QComboBox* combo)
{
    device_.setText(option, combo->currentData().toString());
    // The device may adjust the value or change other options with it.
    loadFromDevice();
}

void SaneScanDialog::setResolution()
{
    device_.setNumber(options_.resolution, resolutionCombo_->currentData().toDouble());
    loadFromDevice();
}

void SaneScanDialog::setAreaOption(int corner)
{
    device_.setNumber(options_.area[corner], areaSpins_[corner]->value());
    loadFromDevice();
}

void SaneScanDialog::setFullArea()
{
    for (int i = 0; i < 4; ++i) {
        const SANE_Option_Descriptor* d = device_.usable(options_.area[i]);
        if (!d)
            continue;
        const SaneChoices::NumericConstraint c = SaneChoices::ReadConstraint(*d);
        if (c.kind == SaneChoices::NumericConstraint::Unconstrained)
            continue;
        // Top-left corner to the lowest value, bottom-right to the highest.
        device_.setNumber(options_.area[i], i < 2 ? SaneChoices::LowestAllowed(c) : SaneChoices::HighestAllowed(c));
    }
    loadFromDevice();
}

void SaneScanDialog::startScan()
{
    if (thread_)
        return;
    dpi_ = device_.number(options_.resolution).value_or(0.0);
    job_ = std::make_unique<SaneScanJob>(device_.handle());
    thread_.reset(QThread::create([job = job_.get()] { job->run(); }));
    connect(thread_.get(), &QThread::finished, this, &SaneScanDialog::scanFinished);
    setScanning(true);
    thread_->start();
    progressTimer_.start();
}

void SaneScanDialog::reject()
{
    if (thread_)
        cancelScan();
    else
        QDialog::reject();
}

void SaneScanDialog::cancelScan()
{
    job_->requestCancel();
    cancelButton_->setEnabled(false);
    status_->setText(QStringLiteral("Annullamento in corso..."));
}

void SaneScanDialog::scanFinished()
{
    progressTimer_.stop();
    thread_->wait();
    thread_.reset();
    const std::unique_ptr<SaneScanJob> job = std::move(job_);
    switch (job->outcome()) {
    case SaneScanJob::Outcome::Completed:
        page_ = job->takePage(dpi_);
        progress_->setRange(0, 1000);
        progress_->setValue(1000);
        QDialog::accept();
        return;
    case SaneScanJob::Outcome::Cancelled:
        QDialog::reject();
        return;
    case SaneScanJob::Outcome::Failed:
    case SaneScanJob::Outcome::Running:
        break;
    }
    // The operator may put the page right and try again, or give up.
    setScanning(false);
    status_->clear();
    dialogs_.showMessage(this,
                         QStringLiteral("Acquisizione non riuscita: ")
                             + SaneChoices::StatusText(job->failure()) + u'.',
                         MessageIcon::Warning);
}

void SaneScanDialog::showProgress()
{
    if (!job_)
        return;
    const long long expected = job_->bytesExpected();
    if (expected > 0) {
        progress_->setRange(0, 1000);
        progress_->setValue(static_cast<int>(std::min<long long>(1000, job_->bytesRead() * 1000 / expected)));
    } else {
        progress_->setRange(0, 0); // the device does not say how long the page is
    }
    if (!job_->cancelRequested() && job_->rows() > 0)
        status_->setText(QStringLiteral("Acquisizione in corso... righe lette: %1").arg(job_->rows()));
}

void SaneScanDialog::setScanning(bool scanning)
{
    for (QWidget* w : {static_cast<QWidget*>(modeCombo_), static_cast<QWidget*>(sourceCombo_),
                       static_cast<QWidget*>(resolutionCombo_), static_cast<QWidget*>(areaBox_),
                       static_cast<QWidget*>(scanButton_)})
        w->setEnabled(!scanning);
    cancelButton_->setEnabled(true);
    progress_->setEnabled(scanning);
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    if (scanning)
        status_->setText(QStringLiteral("Acquisizione in corso..."));
}
