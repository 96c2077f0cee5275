#include "browser/SearchProgress.h"
#include "base/Texts.h"

void TSearchProgress::Apply(const TSearchChange& change, int resultCount)
{
    switch (change.Kind) {
    case TSearchChangeKind::scStarted:
        fRunning = true;
        fWhere.clear();
        break;
    case TSearchChangeKind::scProgress:
        fWhere = std::string(change.Text);
        break;
    case TSearchChangeKind::scFinished:
        fRunning = false;
        break;
    default:
        break;
    }
    // Results of a deleted shelf leave with it: the count is the folder's.
    fCount = resultCount;
}

std::string TSearchProgress::Label() const
{
    const std::string where = fWhere.empty() ? Tx("検索中･･･") : fWhere + Tx(" を検索中･･･");
    return where + Tx("\n検索結果： ") + std::to_string(fCount) + Tx(" 件");
}
