#pragma once
// The photo check on the motorists' portal: the photo, exactly as the save
// writes it, posted to the portal's verification form, and the portal's
// verdict read back from its answer page. No windows here: the photo editor
// and the command line both run the same check and show its outcome their
// own way.

#include "OperatorDialogs.h"

#include <FreeImage.h>

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <QUrl>

#include <functional>

class WebPage;

namespace PortalCheck {

// The setting that holds the portal's base address (scheme and host,
// optionally a port), and its value when it is not set.
inline const QString PortalSetting = QStringLiteral("Portale");
inline const QString DefaultPortal = QStringLiteral("https://www.ilportaledellautomobilista.it");
inline const QString PagePath = QStringLiteral("/web/portale-automobilista/verifica-foto-patente-professionista");

// The identifiers the portal's pages use.
inline const QString FormId = QStringLiteral("VerificaImmagineIcao");
inline const QString AnswerId = QStringLiteral("elenco-1");

inline const QByteArray Boundary = "QuenvAaBbCcXxYyZz";
inline const QString RequestHeader = QStringLiteral("Content-Type: multipart/form-data; boundary=QuenvAaBbCcXxYyZz");

// The working file the photo passes through on its way to the request: each
// check has its own, "_foto_" and six characters of its own before ".jpg".
inline const QString TemporaryPhotoName = QStringLiteral("_foto_.jpg");

inline const QString ConformitySentence = QStringLiteral("La foto risulta essere conforme alle direttive ICAO");
inline const QString CommunicationErrorMessage = QStringLiteral("Errore di comunicazione con il portale");

// The waits: 15 seconds for the form page, 30 for the answer.
inline constexpr double PageSeconds = 15;
inline constexpr double AnswerSeconds = 30;

// The base address from the setting's value: blanks around it dropped, a
// trailing "/" dropped, the default when nothing is left.
QString PortalBase(const QString& settingValue);
// The verification page under the base address.
QUrl PageAddress(const QString& base);

// The request body around the JPEG's bytes: 226 bytes of form text before
// them, 25 after, nothing else.
QByteArray MultipartBody(QByteArrayView jpeg);

// What the operator is shown for a verdict: the conformity sentence, exactly,
// as it is with the information icon; anything else as a rejection with the
// error icon, each reason the portal gives on a line of its own.
struct VerdictMessage {
    QString text;
    MessageIcon icon;
    bool conforms;
};
VerdictMessage TreatVerdict(const QString& verdict);

struct Outcome {
    enum class Kind {
        Verdict,            // the portal answered: verdict holds its text
        CommunicationError, // no page, no answer in time, or not the pages we know
        PhotoNotWritten,    // the photo could not go through the working file
    };
    // Why the portal could not be understood, for a command line that says
    // more than the operator's message does.
    enum class Failure {
        None,
        Unreachable,  // no connection, an untrusted certificate, an HTTP error
        NoPageInTime, // the page or the answer, parsed, not within its deadline
        PageTooLarge, // the page or the answer went on past WebPage's bound
        NoForm,       // the page has no verification form with an action
        NoVerdict,    // the answer has no paragraph in its list
    };
    Kind kind = Kind::CommunicationError;
    Failure failure = Failure::None;
    QString verdict;
    // What went wrong, in English, for a developer; never shown as such.
    QString detail;
    // The working file's path, for the message of PhotoNotWritten;
    // TemporaryPhotoName in the work folder when none could be made there.
    QString photoFile;
};

// Waits up to the given number of seconds (rounded to a whole number) for
// the page to complete; false when the deadline passed.
using WaitFunction = std::function<bool(double seconds)>;

struct Context {
    WebPage& page;
    QString base;       // as PortalBase gives it
    QString workFolder; // where the working file goes
    WaitFunction wait;  // called after each navigation of page
};

// The whole check with the photo made from the crop. The photo is left in
// resultBitmap (any bitmap there released first) once the form page has
// loaded; before that resultBitmap is untouched. The caller owns it.
Outcome Run(const Context& context, const QImage& crop, FIBITMAP*& resultBitmap);
// The check of a photo bitmap already made (not taken over).
Outcome Run(const Context& context, FIBITMAP* photo);

// Puts the outcome in front of the operator: the verdict, the communication
// error, or the working file that could not be written.
void Tell(OperatorDialogs& dialogs, QWidget* parent, const Outcome& outcome);

// A wait that runs an event loop until the page completes or the deadline
// passes, for callers without windows. msPerSecond shortens it in tests.
WaitFunction EventLoopWait(WebPage& page, int msPerSecond = 1000);

} // namespace PortalCheck
