#pragma once
// The choice of the webcam: the installed inputs, the remembered one
// preselected; OK with an entry selected stores its description in the
// setting "WebCam", which the webcam window reads each time it opens.

#include "Services.h"

#include <QDialog>

class QListWidget;
class chameleonButton;

class FormCFGcam : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 530;
    static constexpr int ClientHeight = 148;

    explicit FormCFGcam(const Services& services, QWidget* parent = nullptr);

    void OkP_Click();
    void EsciP_Click();

    QListWidget* List1 = nullptr;
    chameleonButton* OkP = nullptr;
    chameleonButton* EsciP = nullptr;

private:
    void CreateControls();
    void Form_Load();

    Services services_;
};
