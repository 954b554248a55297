#pragma once
// The one-pass proposal of the form just taken in, made in the background
// while the operator looks at the form, so that the one-pass window opens
// at once. Only the page it was started on, at the same ink threshold, takes
// it; anything else makes its own.

#include "ApplicantProposal.h"

#include <QImage>
#include <QString>

#include <future>
#include <optional>
#include <vector>

class ProposalAhead {
public:
    struct Ready {
        QImage page;
        ApplicantProposal::Proposal proposal;
    };

    ProposalAhead() = default;
    // Waits for the work still under way: it reads pictures this object holds.
    ~ProposalAhead();
    ProposalAhead(const ProposalAhead&) = delete;
    ProposalAhead& operator=(const ProposalAhead&) = delete;

    // Starts on page, the picture of the file source as taken in; whatever
    // was started before is dropped.
    void Start(const QImage& page, const QString& source, int threshold);
    // Drops what was started.
    void Drop();
    // The proposal started for source at threshold, waited for when it is
    // still being made; nothing when none was started for them.
    std::optional<Ready> Take(const QString& source, int threshold);

private:
    QString source_;
    int threshold_ = -1;
    QImage page_;
    std::future<ApplicantProposal::Proposal> work_;
    // Dropped work still running: never waited for on the window's thread
    // before it ends by itself, except when the program closes.
    std::vector<std::future<ApplicantProposal::Proposal>> dropped_;
};
