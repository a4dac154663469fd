#include "session/dictionary_units.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>

#include "core/files.h"

namespace dyd {

std::string DictionaryListPath(const AppPaths& paths) {
    return ResolvePath(paths.userDir, paths.databaseCode + std::string(kDictionaryListName));
}

DictionaryUnits ResolveDictionaryUnits(const CurrentSet& set, const UnitTable& units) {
    DictionaryUnits list;
    for (int i = 0; i < set.count; ++i) {
        const std::int32_t code = set.codes[static_cast<std::size_t>(i)];
        const int unitNumber = units.IndexOfUnitId(code);
        if (unitNumber < 1) {
            ++list.leftOut;
            continue;
        }
        list.codes.push_back(code);
        list.unitNumbers.push_back(unitNumber);
    }
    return list;
}

DictionaryRead ReadDictionaryList(const std::string& path, const UnitTable& units, CurrentSet& set,
                                  SessionPlan& plan) {
    DictionaryRead read;
    errno = 0;
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        const int error = errno;
        if (!FileExists(path)) {
            read.status = DictionaryReadStatus::Missing;
            return read;
        }
        read.status = DictionaryReadStatus::Unreadable;
        read.message = std::string(kDictionaryUnreadableMessage) + path;
        if (error != 0) {
            read.message += "\n" + SystemErrorText(error);
        }
        return read;
    }
    plan.currentKind = 0;
    ParseCodeList(*bytes, set);
    read.status = DictionaryReadStatus::Read;
    read.units = ResolveDictionaryUnits(set, units);
    return read;
}

int RemoveDictionaryUnit(DictionaryUnits& list, int index) {
    if (index < 0 || index >= list.count()) {
        return list.count() > 0 ? std::min(std::max(index, 0), list.count() - 1) : -1;
    }
    list.codes.erase(list.codes.begin() + index);
    list.unitNumbers.erase(list.unitNumbers.begin() + index);
    if (list.count() == 0) {
        return -1;
    }
    return std::min(index, list.count() - 1);
}

std::string DictionaryLeftOutText(int leftOut) {
    if (leftOut < 1) {
        return {};
    }
    return "Pominięto kody spoza bazy: " + std::to_string(leftOut) + ".";
}

void TakeDictionaryUnits(const DictionaryUnits& list, CurrentSet& set) {
    set.count = 0;
    set.codes.fill(0);
    set.unitNumbers.fill(0);
    for (int i = 0; i < list.count() && i < kMaxSetUnits; ++i) {
        set.codes[static_cast<std::size_t>(i)] = list.codes[static_cast<std::size_t>(i)];
        set.unitNumbers[static_cast<std::size_t>(i)] =
            list.unitNumbers[static_cast<std::size_t>(i)];
        ++set.count;
    }
    set.name.clear();
    set.setKey.clear();
    set.ready = false;
}

bool DeleteDictionaryList(const std::string& path, std::string& message) {
    message.clear();
    errno = 0;
    if (std::remove(path.c_str()) == 0) {
        return true;
    }
    const int error = errno;
    if (!FileExists(path)) {
        return true;
    }
    message = std::string(kDictionaryNotDeletedMessage) + path + "\n" + SystemErrorText(error);
    return false;
}

}  // namespace dyd
