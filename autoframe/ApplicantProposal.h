#pragma once
// Both crops of one applicant's form at once, for the one-pass road and the
// form batch of the command line: the portrait's 0.828 crop and the
// signature's, found side by side, and the check of the photo the portrait
// crop makes.

#include "PhotoCheck.h"
#include "PortraitFraming.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace ApplicantProposal {

struct Proposal {
    // The face's framing; when portrait.turned, portrait.selection lies in
    // the page turned by 180°.
    PortraitFraming::Proposal portrait;
    // The signature's crop in the page as given (empty: none found).
    QRect signature;

    bool hasPhoto() const { return !portrait.selection.isEmpty(); }
    bool hasSignature() const { return !signature.isEmpty(); }
};

// Looks for the face (largest: the biggest photo crop the caller can take)
// and for the signature, its ink at threshold as the black-and-white file
// makes it: on a second thread meanwhile when beside is set (one form
// while the operator waits), one after the other on this thread when not
// (a worker of a batch, which keeps one core busy).
Proposal Propose(const QImage& page, QSize largest, int threshold, bool beside = true);

// The page the photo crop is taken from: turned by 180° when the face was
// found only that way.
QImage PhotoPage(const QImage& page, const Proposal& proposal);

// The check of the finished photo made from crop (in PhotoPage's
// coordinates): the face found on the page is carried into the photo when
// the crop holds its eyes, otherwise the photo is searched on its own.
PhotoCheck::Report CheckPhoto(const QImage& photo, const Proposal& proposal, const QRect& crop);

} // namespace ApplicantProposal
