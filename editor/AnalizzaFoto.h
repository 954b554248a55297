#pragma once
// The photo editor: a selection of proportion 0.828, a result preview of the
// photo's 265 x 320, and the portal check, during which the editor ignores
// everything else.

#include "FaceLandmarks.h"
#include "FramingEditor.h"
#include "PhotoCheck.h"

#include <optional>

class QTimer;
class WebPage;

// The check of a photo as the panel shows it: what the framing has to say
// (or else the check's own note) over a table of values, ranges and marks.
QString CheckPanelHtml(const PhotoCheck::Report& report, const QString& framingNote);

class AnalizzaFoto : public FramingEditor {
    Q_OBJECT
public:
    explicit AnalizzaFoto(const Services& services, QWidget* parent = nullptr);

    // Set for the whole length of a portal check.
    bool Busy = false;

    chameleonButton* TestP = nullptr;
    chameleonButton* MsgL = nullptr;
    // The editor's own browser, owned by it: the portal check loads its
    // pages here, and it keeps the last answer until the next check.
    WebPage* wb = nullptr;

    // The pauses of WaitForBrowser in milliseconds: the settling pause after
    // a navigation, the polling step, and the length of one of its seconds.
    // Tests shorten them.
    struct BrowserWaits {
        int settleMs = 600;
        int pollMs = 50;
        int msPerSecond = 1000;
    };
    BrowserWaits browserWaits;

    void SalvaP_Click() override;
    void TestP_Click();

    // Lets events run until wb's page is complete and wb idle (true), or
    // until seconds, rounded to a whole number and counted from the end of
    // the settling pause, have passed (false).
    bool WaitForBrowser(double seconds);

    // The offline check of the photo the current crop makes, over the help
    // text: shown after every commit while the automatic framing is on, or
    // once "Centra viso" was pressed. The link beside "Risultato" switches
    // between the check and the help text.
    QLabel* checkPanel = nullptr;
    QLabel* checkToggle = nullptr;
    PhotoCheck::Report lastCheck;
    // What the framing had to tell the operator ("viso più grande della
    // vista", other faces, a page turned), shown above the check; or empty.
    QString framingNote;
    // Checks the current crop now (commits ask for it once events run).
    void RefreshCheck();
    // Shows the check panel (true) or the help text under it (false).
    void ShowCheck(bool shown);

protected:
    QRect FindSubject() override;
    void Committed() override;
    bool Ignoring() const override { return Busy; }
    void ResetState() override { Busy = false; }
    void FinishLoad() override;

private:
    // The face of the picture in picture pixels, looked for once per
    // picture: every later check maps it into the crop instead of
    // searching the photo again.
    const std::optional<FaceLandmarks::Face>& SourceFace();
    void UpdateToggle();

    QTimer* checkTimer_ = nullptr;
    bool checking_ = false;
    bool faceSearched_ = false;
    std::optional<FaceLandmarks::Face> sourceFace_;
};
