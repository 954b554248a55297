#include "ApplicantProposal.h"

#include "SignatureFinder.h"

#include <future>

namespace ApplicantProposal {

Proposal Propose(const QImage& page, QSize largest, int threshold, bool beside)
{
    // The two searches read the page only.
    std::future<QRect> signature = std::async(beside ? std::launch::async : std::launch::deferred,
                                              [&page, threshold] { return SignatureFinder::Find(page, threshold).selection; });
    Proposal proposal;
    proposal.portrait = PortraitFraming::Propose(page, largest);
    proposal.signature = signature.get();
    return proposal;
}

QImage PhotoPage(const QImage& page, const Proposal& proposal)
{
    return proposal.portrait.turned ? page.mirrored(true, true) : page;
}

PhotoCheck::Report CheckPhoto(const QImage& photo, const Proposal& proposal, const QRect& crop)
{
    const bool found = proposal.portrait.status == FaceLandmarks::Status::Found;
    return PhotoCheck::CheckCut(photo, found ? &proposal.portrait.face : nullptr, crop);
}

} // namespace ApplicantProposal
