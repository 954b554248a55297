#pragma once
// The signature editor: a free selection, started at proportion 5, and a
// result preview fitted into the 706 x 138 area.

#include "FramingEditor.h"

class QLabel;

class AnalizzaFirma : public FramingEditor {
    Q_OBJECT
public:
    explicit AnalizzaFirma(const Services& services, QWidget* parent = nullptr);

    void SalvaP_Click() override;

    // What the automatic framing has to tell the operator (a signature
    // larger than the view), over the help text until its link is
    // followed or another picture is loaded.
    QLabel* notePanel = nullptr;

protected:
    // The signature's ink at the black-and-white file's threshold "bnVal".
    QRect FindSubject() override;
    void SubjectTooLarge(const QRect& subject) override;
    void FinishLoad() override;
};
