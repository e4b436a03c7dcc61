#include "cleaning/cleanup_criteria.h"

namespace qm {

CleanupCriteria NewCleanupCriteria(Clock& clock) {
    CleanupCriteria criteria;
    criteria.from = clock.NowUtc();
    criteria.to = criteria.from;
    return criteria;
}

}  // namespace qm
