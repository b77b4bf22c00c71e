// zemtori-analyse review: a record file reviewed by the searching player, one
// line per entry as soon as it is known, then the summary.
#include <ostream>
#include <string>

#include "commands.h"
#include "record/record_file.h"
#include "review/review.h"

namespace zemtori::analyse {

int review_file(const std::string& path, std::ostream& out, std::ostream& err, const BestLimits& budget) {
    std::string bytes, reason;
    switch (read_record_bytes(path, bytes, reason)) {
    case ReadFailure::None:
        break;
    case ReadFailure::TooLarge:
        err << "zemtori-analyse: " << path << ": larger than a record file may be\n";
        return 1;
    case ReadFailure::System:
        err << "zemtori-analyse: " << path << ": " << reason << '\n';
        return 1;
    }
    const RecordFile file = parse_record_file(bytes);
    if (file.entries.empty()) {
        err << "zemtori-analyse: " << path << ": no entry lines\n";
        return 1;
    }
    searcher::Limits limits;
    limits.nodes = budget.nodes;
    limits.movetime = budget.movetime;
    if (limits.nodes == 0 && limits.movetime == 0) limits.nodes = review::DEFAULT_NODES;
    // Each move's line goes out as soon as its two positions are reviewed.
    int written = 0;
    const review::Review done = review::run(review::from_file(file), limits, [&](const review::Review& r) {
        for (; written + 1 < r.done(); ++written) out << review::line_of(r.move(written + 1)) << '\n';
        out.flush();
    });
    out << review::summary_of(done) << '\n';
    out.flush();
    return 0;
}

}  // namespace zemtori::analyse
