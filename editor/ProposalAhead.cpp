#include "ProposalAhead.h"

#include <chrono>

ProposalAhead::~ProposalAhead()
{
    Drop();
    for (std::future<ApplicantProposal::Proposal>& work : dropped_)
        work.wait();
}

void ProposalAhead::Start(const QImage& page, const QString& source, int threshold)
{
    Drop();
    source_ = source;
    threshold_ = threshold;
    page_ = page;
    work_ = std::async(std::launch::async, [page, threshold] {
        return ApplicantProposal::Propose(page, page.size(), threshold);
    });
}

void ProposalAhead::Drop()
{
    std::erase_if(dropped_, [](const std::future<ApplicantProposal::Proposal>& work) {
        return work.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    if (work_.valid())
        dropped_.push_back(std::move(work_));
    source_.clear();
    page_ = QImage();
}

std::optional<ProposalAhead::Ready> ProposalAhead::Take(const QString& source, int threshold)
{
    if (!work_.valid() || source != source_ || threshold != threshold_) {
        Drop();
        return std::nullopt;
    }
    Ready ready{page_, work_.get()};
    Drop();
    return ready;
}
