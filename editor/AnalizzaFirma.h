#pragma once
// The signature editor: a free selection, started at proportion 5, and a
// result preview fitted into the 706 x 138 area.

#include "FramingEditor.h"

class AnalizzaFirma : public FramingEditor {
    Q_OBJECT
public:
    explicit AnalizzaFirma(const Services& services, QWidget* parent = nullptr);

    void SalvaP_Click() override;

protected:
    // The signature's ink at the black-and-white file's threshold "bnVal".
    QRect FindSubject() override;
};
