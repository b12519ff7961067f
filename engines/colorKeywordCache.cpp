#include "engines/colorKeywordCache.h"

#include <QDateTime>
#include <QFileInfo>

std::optional<ColorKeywordCache::Stamp> ColorKeywordCache::StampOf(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        return std::nullopt;
    }
    return Stamp{path, info.size(), info.lastModified().toMSecsSinceEpoch(),
                 info.metadataChangeTime().toMSecsSinceEpoch()};
}

const QList<ColorKeyword> &ColorKeywordCache::Keywords(const QString &path, const Loader &load) {
    std::optional<Stamp> now = StampOf(path);
    if (!now || now != stamp_) {
        stamp_.reset();
        failure_.reset();
        try {
            keywords_ = load(path);
            ++generation_;
        } catch (const Failure &failure) {
            keywords_.clear();
            failure_ = failure;
        }
        stamp_ = std::move(now);
    }
    if (failure_) {
        throw *failure_;
    }
    return keywords_;
}
