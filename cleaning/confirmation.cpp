#include "cleaning/confirmation.h"

namespace qm {

std::string_view CleanupQuestion(RecordKind kind) {
    switch (kind) {
        case RecordKind::History:
            return question::kHistory;
        case RecordKind::Cookies:
            return question::kCookies;
        case RecordKind::Cache:
            return question::kCache;
    }
    return question::kHistory;
}

bool ConfirmDeletion(Prompts& prompts, bool confirm, std::string_view question) {
    return !confirm || prompts.AskYesNo(question);
}

}  // namespace qm
