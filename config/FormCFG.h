#pragma once
// The configuration dialog: the signature resolution option, the automatic
// framing of the editors, the choice of
// the scanner and of the webcam, and the technical-support address as a
// link that opens the operator's mail program with a prepared subject.

#include "Services.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class chameleonButton;

class FormCFG : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 440;
    static constexpr int ClientHeight = 288;

    explicit FormCFG(const Services& services, QWidget* parent = nullptr);

    // The support address this build shows (set when the program is built).
    static QString SupportAddress();
    // "mailto:<address>?subject=Richiesta servizio tecnico programma Ritrax
    // versione <major>.<minor>", the subject as it is, not percent-encoded.
    static QString MailLink(const QString& address, int major, int minor);

    // Events.
    void OkP_Click();
    void EsciP_Click();
    void ScannerP_Click();
    void WebCamP_Click();
    void email_Click();

    // Controls.
    QCheckBox* F200 = nullptr;
    // "Inquadratura automatica": the editors frame the face and the
    // signature by themselves when they open (setting "AutoInquadra").
    QCheckBox* AutoInquadra = nullptr;
    QFrame* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* email = nullptr;
    chameleonButton* ScannerP = nullptr;
    chameleonButton* WebCamP = nullptr;
    chameleonButton* OkP = nullptr;
    chameleonButton* EsciP = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void Form_Load();

    Services services_;
};
