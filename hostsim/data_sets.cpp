// hostbooks: the current user and the walk over the company data sets.
#include <cstring>
#include <string>

#include "hostsim/hostsim.h"
#include "hostsim/objects.h"
#include "hostsim/store.h"

using hostsim::LogCall;

long ClSysUser::GetCurUserID(char* userId)
{
    long status = 0;
    if (hostsim::TakeFault("GetCurUserID", &status) && status != 0) {
        LogCall("GetCurUserID", "", status);
        return status;
    }
    if (!userId) {
        status = hostsim::HOSTSIM_BAD_ARGUMENT;
    } else {
        const std::string& id = hostsim::CurrentStore().userId;  // at most 64 bytes
        std::memcpy(userId, id.c_str(), id.size() + 1);
        status = 0;
    }
    LogCall("GetCurUserID", "", status);
    return status;
}

long ClSysUser::GetSelectedNo(const char* userId, long* first, long* second)
{
    long status = 0;
    const std::string args = hostsim::LogText(userId);
    if (hostsim::TakeFault("GetSelectedNo", &status) && status != 0) {
        LogCall("GetSelectedNo", args, status);
        return status;
    }
    const hostsim::Store& store = hostsim::CurrentStore();
    if (!userId || !first || !second) {
        status = hostsim::HOSTSIM_BAD_ARGUMENT;
    } else if (store.userId != userId) {
        // Another user has no selection in this host.
        *first = 0;
        *second = 0;
        status = hostsim::HOSTSIM_UNKNOWN_USER;
    } else {
        *first = store.selectedFirst;
        *second = store.selectedSecond;
        status = 0;
    }
    LogCall("GetSelectedNo", args, status);
    return status;
}

long ClSetData::GetDatCursor(unsigned long* cursor)
{
    long status = 0;
    if (hostsim::TakeFault("GetDatCursor", &status) && status != 0) {
        LogCall("GetDatCursor", "", status);
        return status;
    }
    if (!cursor) {
        status = hostsim::HOSTSIM_BAD_ARGUMENT;
    } else {
        *cursor = hostsim::NewDataCursor();
    }
    LogCall("GetDatCursor", "", status);
    return status;
}

long ClSetData::ReadyDat(unsigned long cursor, long mode)
{
    const std::string args = std::to_string(cursor) + " " + std::to_string(mode);
    long status = 0;
    if (hostsim::TakeFault("ReadyDat", &status) && status != 0) {
        LogCall("ReadyDat", args, status);
        return status;
    }
    auto it = hostsim::DataCursors().find(cursor);
    if (it == hostsim::DataCursors().end()) {
        status = hostsim::HOSTSIM_NO_WALK;
    } else {
        it->second = 0;
    }
    LogCall("ReadyDat", args, status);
    return status;
}

long ClSetData::WalkDat(StDATAINFO* info, unsigned long cursor)
{
    const std::string args = std::to_string(cursor);
    long status = 0;
    if (hostsim::TakeFault("WalkDat", &status) && status != 0) {
        LogCall("WalkDat", args, status);
        return status;
    }
    auto it = hostsim::DataCursors().find(cursor);
    const auto& sets = hostsim::CurrentStore().dataSets;
    if (!info) {
        status = hostsim::HOSTSIM_BAD_ARGUMENT;
    } else if (it == hostsim::DataCursors().end()) {
        status = hostsim::HOSTSIM_NO_WALK;
    } else if (it->second >= sets.size()) {
        status = HOST_NO_MORE_RECORDS;
    } else {
        *info = sets[it->second++].info;
    }
    LogCall("WalkDat", args, status);
    return status;
}

long ClSetData::ReleaseDatCursor(unsigned long cursor)
{
    const std::string args = std::to_string(cursor);
    long status = 0;
    if (hostsim::TakeFault("ReleaseDatCursor", &status) && status != 0) {
        LogCall("ReleaseDatCursor", args, status);
        return status;
    }
    if (hostsim::DataCursors().erase(cursor) == 0) status = hostsim::HOSTSIM_NO_WALK;
    LogCall("ReleaseDatCursor", args, status);
    return status;
}

StDATAINFO* ClSetData::GetSelectedInfo()
{
    // With no data set of the selected number the caller still gets a record: an empty
    // one, whose empty id binds no engine.
    static StDATAINFO none;
    LogCall("GetSelectedInfo", "");
    hostsim::Store& store = hostsim::CurrentStore();
    for (hostsim::DataSet& ds : store.dataSets)
        if (ds.info.lDataNo == store.selectedSecond) return &ds.info;
    none = StDATAINFO{};
    return &none;
}
