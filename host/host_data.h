// hostdata and hostbooks: users, company data sets and the data-set manager.
#pragma once

#include "host/host_records.h"

class ClSetMgr;
class ClOptLink;

class ClSysUser {
public:
    virtual ~ClSysUser() = default;
    // Writes the current user id, NUL-terminated, into a 65-byte buffer.
    long GetCurUserID(char* userId);
    long GetSelectedNo(const char* userId, long* first, long* second);
};

class ClSetBase {
public:
    virtual ~ClSetBase() = default;
};

// Cursor walk over the company data sets.
class ClSetData : public ClSetBase {
public:
    long GetDatCursor(unsigned long* cursor);
    long ReadyDat(unsigned long cursor, long mode);
    long WalkDat(StDATAINFO* info, unsigned long cursor);
    long ReleaseDatCursor(unsigned long cursor);
    // The selected data set's record (its id text starts the record).
    StDATAINFO* GetSelectedInfo();
};

// What GetSetObject is asked for: the list of company data sets.
constexpr long kCompanyDataSetsKind = 5;
constexpr int kCompanyDataSetsMode = 1;

class ClDataMgr {
public:
    static ClDataMgr* Inst();
    ClSysUser* GetSysUserObject();
    ClSetBase* GetSetObject(long kind, int mode);
    ClSetMgr* GetSetMgr();

private:
    ClDataMgr() = default;
};

class ClLinkMgr {
public:
    static ClLinkMgr* Inst();
    ClOptLink* GetOptLink();

private:
    ClLinkMgr() = default;
};
