// hostbooks: the rule engines that sum a data set, and the saved statement details.
#pragma once

#include "host/host_data.h"
#include "host/host_records.h"

enum _RuleAoSumType : long { RULEAO_GENERAL = 0, RULEAO_REALESTATE = 1 };
enum _RuleSiroSumType : long { RULESIRO_GENERAL = 0, RULESIRO_REALESTATE = 1 };

struct ClHostBinding;  // the stand-in's per-object state

// Blue-return engine.
class ClRuleAo {
public:
    ClRuleAo();
    virtual ~ClRuleAo();
    long AttachSetMgr(ClSetMgr* mgr);
    long SetCurDataID(const char* id);
    long AttachOptLink(ClOptLink* link);

    long Ready(StAOSUMCONDITION* condition);
    long GetCount_PL(_RuleAoSumType type);
    long GetCount_BS_Shisan(_RuleAoSumType type);
    long GetCount_BS_FusaiShihon(_RuleAoSumType type);
    long GetCount_SeizoGenka();
    long MoveFirst_PL(_RuleAoSumType type, StAOSUMINFO* line);
    long MoveNext_PL(_RuleAoSumType type, StAOSUMINFO* line);
    long MoveFirst_BS_Shisan(_RuleAoSumType type, StAOSUMINFO* line);
    long MoveNext_BS_Shisan(_RuleAoSumType type, StAOSUMINFO* line);
    long MoveFirst_BS_FusaiShihon(_RuleAoSumType type, StAOSUMINFO* line);
    long MoveNext_BS_FusaiShihon(_RuleAoSumType type, StAOSUMINFO* line);
    long MoveFirst_SeizoGenka(StAOSUMINFO* line);
    long MoveNext_SeizoGenka(StAOSUMINFO* line);
    long GetTsukibetsuUriageShiire(StAOSUMINFO_TSUKIBETSU* monthly);

private:
    ClHostBinding* m_binding;
};

// White-return engine.
class ClRuleSiro {
public:
    ClRuleSiro();
    virtual ~ClRuleSiro();
    long AttachSetMgr(ClSetMgr* mgr);
    long SetCurDataID(const char* id);
    long AttachOptLink(ClOptLink* link);

    long Ready();
    long GetCount_PL(_RuleSiroSumType type);
    long MoveFirst_PL(_RuleSiroSumType type, StSIROSUMINFO* line);
    long MoveNext_PL(_RuleSiroSumType type, StSIROSUMINFO* line);

private:
    ClHostBinding* m_binding;
};

// Saved statement details; the blocks it hands out are allocated with the task
// allocator and released by the caller with TaskMemFree.
class ClSaveAoSiro {
public:
    ClSaveAoSiro();
    virtual ~ClSaveAoSiro();
    long AttachSetMgr(ClSetMgr* mgr);
    long SetCurDataID(const char* id);

    long GetDataIppan(StAOSIROSAVEINFO_IPPAN* info);
    long GetDataFudousan(StAOSIROSAVEINFO_FUDOUSAN* info);

private:
    ClHostBinding* m_binding;
};
