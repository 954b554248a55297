#pragma once
// The photo editor: a selection of proportion 0.828, a result preview of the
// photo's 265 x 320, and the portal check, during which the editor ignores
// everything else.

#include "FramingEditor.h"

class AnalizzaFoto : public FramingEditor {
    Q_OBJECT
public:
    explicit AnalizzaFoto(const Services& services, QWidget* parent = nullptr);

    // Set for the whole length of a portal check.
    bool Busy = false;

    chameleonButton* TestP = nullptr;
    chameleonButton* MsgL = nullptr;

    void SalvaP_Click() override;
    void TestP_Click();

protected:
    bool Ignoring() const override { return Busy; }
    void ResetState() override { Busy = false; }
    void FinishLoad() override;
};
