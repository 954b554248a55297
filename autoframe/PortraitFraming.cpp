#include "PortraitFraming.h"

#include "Crown.h"
#include "PhotographEdges.h"

namespace PortraitFraming {

Proposal Propose(const QImage& picture, QSize largest)
{
    const FaceLandmarks::Result found = FaceLandmarks::Find(picture);
    if (found.status != FaceLandmarks::Status::Found) {
        Proposal none;
        none.status = found.status;
        return none;
    }
    Proposal proposal = ProposeFor(found.turned ? picture.mirrored(true, true) : picture, found.face, largest);
    proposal.turned = found.turned;
    proposal.others = found.others;
    return proposal;
}

Proposal ProposeFor(const QImage& picture, const FaceLandmarks::Face& face, QSize largest)
{
    Proposal proposal;
    proposal.status = FaceLandmarks::Status::Found;
    proposal.face = face;
    const PhotographEdges::Photograph photograph = PhotographEdges::Find(picture, face);
    proposal.photograph = photograph.inside;
    proposal.photographOnPage = photograph.onPage;
    const Crown::Found crown = Crown::Measure(picture, face, photograph.inside);
    proposal.head = PortraitGeometry::HeadOf(face, crown.y, crown.measured);
    const PortraitGeometry::Crop crop = PortraitGeometry::CropFor(proposal.head, photograph.inside, largest);
    proposal.selection = crop.selection;
    proposal.ideal = crop.ideal;
    proposal.limitedByLargest = crop.limitedByLargest;
    return proposal;
}

} // namespace PortraitFraming
